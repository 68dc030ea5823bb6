#include "SessionClock.h"
#include "SimTestSupport.h"
#include "SimulatedEcu.h"
#include "SimulatedVehicle.h"

#include <cmath>

namespace {

// Advances the clock in steps, keeping the session alive with tester present.
void keepAlive(DemoVehicleTest& test, uint32_t ms, TavrinKwp::ManualClock& clock,
               const std::function<void()>& testerPresent)
{
    (void)test;
    for (uint32_t elapsed = 0; elapsed < ms; elapsed += 1000) {
        clock.advance(1000);
        testerPresent();
    }
}

}  // namespace

// How long a started device runs in the ECU when nothing more is sent.
struct Lifetime {
    const char* device;
    const char* command;
    const char* list;
    uint32_t runsForMs;  // 0: until stopped
};

class DeviceLifetime : public DemoVehicleTest, public ::testing::WithParamInterface<Lifetime> {};

TEST_P(DeviceLifetime, shouldRunExactlyAsLongAsTheEcuAllows)
{
    const Lifetime& l = GetParam();
    openEngine();
    control("OutputControl", l.command, l.list, l.device);
    auto& engine = TavrinKwp::simulatedVehicle(*session).behaviour("EngineControl");
    const uint32_t last = l.runsForMs ? l.runsForMs - 1 : 60000;
    clock.advance(last);
    EXPECT_TRUE(engine.deviceRunning(l.device, clock.now()));
    clock.advance(1);
    EXPECT_EQ(engine.deviceRunning(l.device, clock.now()), l.runsForMs == 0);
}

INSTANTIATE_TEST_SUITE_P(
    Devices, DeviceLifetime,
    ::testing::Values(
        // a temporary adjustment ends with the session: more than 5000 ms of silence
        Lifetime{"CoolingFan", "Start Temporary", "OutputTemporaryControlList", 5001},
        Lifetime{"Injector 2", "Start Temporary", "OutputTemporaryControlList", 3000},  // its own duration
        Lifetime{"EGRValve", "Start Permanent", "OutputPermanentControlList", 0}),      // silence does not matter
    [](const ::testing::TestParamInfo<Lifetime>& info) {
        std::string name = info.param.device;
        std::erase(name, ' ');
        return name;
    });

TEST_F(DemoVehicleTest, shouldKeepTheDeviceRunningWhileTesterPresentArrives)
{
    openEngine();
    control("OutputControl", "Start Temporary", "OutputTemporaryControlList", "CoolingFan");
    keepAlive(*this, 20000, clock, [this] { testerPresent(); });
    EXPECT_EQ(engineStatus("CoolingFan"), "Running");
}

TEST_F(DemoVehicleTest, shouldMoveAFanSpeedTowardsItsDuty)
{
    openEngine();
    auto start = request("EngineControl", "OutputControl.Start.CoolingFan");
    start->Data("OutputControlCommand")->setValueName("Start Temporary");
    start->Data("CoolingFan.Duty")->setNumericValue(60);
    start->Send();
    auto read = request("EngineControl", "ReadData.Cooling");
    double previous = -1.0;
    for (int second = 0; second < 8; ++second) {
        clock.advance(1000);
        read->Send();
        const double speed = read->Data("FanSpeed")->NumericValue();
        EXPECT_GT(speed, previous);
        previous = speed;
    }
    EXPECT_NEAR(previous, 1800.0, 30.0);  // 60 % duty, 30 rpm per %
}

TEST_F(DemoVehicleTest, shouldRunAcrossTheClockWrapAround)
{
    clock = TavrinKwp::ManualClock(0xFFFFFFFFu - 2500u);
    openEngine();
    control("OutputControl", "Start Temporary", "OutputTemporaryControlList", "CoolingFan");
    keepAlive(*this, 6000, clock, [this] { testerPresent(); });
    EXPECT_LT(clock.now(), 10000u);  // wrapped
    EXPECT_EQ(engineStatus("CoolingFan"), "Running");
    clock.advance(5001);
    EXPECT_EQ(engineStatus("CoolingFan"), "Stopped");
}

TEST_F(DemoVehicleTest, shouldTakeBusTimeWhenTheVehicleHasLatency)
{
    auto vehicle = session->vehicle();
    vehicle.busLatencyMs = 25;
    vehicle.byteTimeUs = 1000;
    auto slow = std::make_shared<TavrinKwp::KwpSession>(vehicle);
    slow->setClock(clock.clock());
    auto engine = slow->Ecus().front();
    engine->Init();
    const uint32_t before = clock.now();
    engine->Request("TesterPresent.WithResponse")->Send();
    EXPECT_EQ(clock.now() - before, 25u + 11u);  // 6 bytes out and 5 back at 1 ms a byte
}
