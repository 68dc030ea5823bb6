#include "SimTestSupport.h"

#include <cmath>

namespace {

// Advances the clock in steps, keeping the session alive with tester present.
void keepAlive(DemoVehicleTest& test, uint32_t ms, Sorvik3Sim::ManualClock& clock,
               const std::function<void()>& testerPresent)
{
    (void)test;
    for (uint32_t elapsed = 0; elapsed < ms; elapsed += 1000) {
        clock.advance(1000);
        testerPresent();
    }
}

}  // namespace

TEST_F(DemoVehicleTest, shouldStopATemporaryDeviceAfterMoreThanFiveSecondsOfSilence)
{
    openEngine();
    control("OutputControl", "Start Temporary", "OutputTemporaryControlList", "CoolingFan");
    auto& engine = session->behaviour("EngineControl");
    clock.advance(5000);
    EXPECT_TRUE(engine.deviceRunning("CoolingFan", clock.now()));
    clock.advance(1);
    EXPECT_FALSE(engine.deviceRunning("CoolingFan", clock.now()));
    EXPECT_EQ(engineStatus("CoolingFan"), "Stopped");
}

TEST_F(DemoVehicleTest, shouldKeepTheDeviceRunningWhileTesterPresentArrives)
{
    openEngine();
    control("OutputControl", "Start Temporary", "OutputTemporaryControlList", "CoolingFan");
    keepAlive(*this, 20000, clock, [this] { testerPresent(); });
    EXPECT_EQ(engineStatus("CoolingFan"), "Running");
}

TEST_F(DemoVehicleTest, shouldKeepAPermanentDeviceRunningThroughSilence)
{
    openEngine();
    control("OutputControl", "Start Permanent", "OutputPermanentControlList", "EGRValve");
    clock.advance(60000);
    EXPECT_TRUE(session->behaviour("EngineControl").deviceRunning("EGRValve", clock.now()));
}

TEST_F(DemoVehicleTest, shouldEndAnInjectorTestAfterItsOwnDuration)
{
    openEngine();
    control("OutputControl", "Start Temporary", "OutputTemporaryControlList", "Injector 2");
    auto& engine = session->behaviour("EngineControl");
    clock.advance(2999);
    EXPECT_TRUE(engine.deviceRunning("Injector 2", clock.now()));
    clock.advance(1);
    EXPECT_FALSE(engine.deviceRunning("Injector 2", clock.now()));
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
    clock = Sorvik3Sim::ManualClock(0xFFFFFFFFu - 2500u);
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
    auto slow = std::make_shared<Sorvik3Sim::SimSession>(vehicle);
    slow->setClock(clock.clock());
    auto engine = slow->Ecus().front();
    engine->Init();
    const uint32_t before = clock.now();
    engine->Request("TesterPresent.WithResponse")->Send();
    EXPECT_EQ(clock.now() - before, 25u + 12u);  // 6 bytes each way at 1 ms a byte
}
