#include "ErrorNumbers.h"
#include "FaultInjector.h"
#include "SessionClock.h"
#include "SimTestSupport.h"
#include "SimulatedVehicle.h"

using TavrinKwp::SessionError;

TEST_F(DemoVehicleTest, shouldFailInitOnceThenSucceed)
{
    TavrinKwp::simulatedVehicle(*session).faults().failInit("EngineControl", 1);
    auto engine = ecu("EngineControl");
    EXPECT_THROW(engine->Init(), Sorvik3::Error);
    EXPECT_FALSE(engine->Initialized());
    EXPECT_NO_THROW(engine->Init());
    EXPECT_TRUE(engine->Initialized());
}

TEST_F(DemoVehicleTest, shouldAnswerNegativelyTheNextNTimes)
{
    openEngine();
    TavrinKwp::simulatedVehicle(*session).faults().answerNegatively("EngineControl", "TesterPresent.WithResponse", 0x21,
                                                                    2);
    auto tester = request("EngineControl", "TesterPresent.WithResponse");
    for (int i = 0; i < 2; ++i) {
        try {
            tester->Send();
            FAIL() << "expected a negative answer";
        } catch (const Sorvik3::Error& error) {
            EXPECT_EQ(error.number(), 0x21);
            EXPECT_EQ(tester->FrameText(false), "83 F1 11 7F 3E 21 63");
        }
    }
    EXPECT_NO_THROW(tester->Send());
}

TEST_F(DemoVehicleTest, shouldTimeOutWhenNoAnswerComes)
{
    openEngine();
    TavrinKwp::simulatedVehicle(*session).faults().dropAnswer("EngineControl", "OutputControl.Status");
    const uint32_t before = clock.now();
    try {
        engineStatus("CoolingFan");
        FAIL() << "expected a timeout";
    } catch (const Sorvik3::Error& error) {
        EXPECT_EQ(error.number(), number(SessionError::NoAnswer));
    }
    // The answer is given up after P2max.
    EXPECT_GE(clock.now() - before, session->vehicle().ecus[0].kline.timing.p2Max);
    auto status = request("EngineControl", "OutputControl.Status");
    EXPECT_FALSE(status->FrameText(true).empty());
    EXPECT_EQ(status->FrameText(false), "");
    TavrinKwp::simulatedVehicle(*session).faults().clear();
    EXPECT_NO_THROW(engineStatus("CoolingFan"));
}

TEST_F(DemoVehicleTest, shouldGiveUpOnEndlessResponsePending)
{
    auto vehicle = session->vehicle();
    vehicle.ecus[0].requests[0].pendingAnswers = 1000;
    auto stubborn = std::make_shared<TavrinKwp::KwpSession>(vehicle);
    stubborn->setClock(clock.clock());
    auto engine = stubborn->Ecus().front();
    engine->Init();
    try {
        engine->Request(vehicle.ecus[0].requests[0].name)->Send();
        FAIL() << "expected the pending limit";
    } catch (const Sorvik3::Error& error) {
        EXPECT_EQ(error.number(), number(SessionError::TooManyPending));
    }
}

TEST(FaultsFromTheDescription, shouldHoldFromTheFirstExchange)
{
    auto session = TavrinKwp::KwpSession::fromText(R"(<vehicle>
  <ecu id="1" name="Pump" address="0x20">
    <request name="Ping" service="0x3E" bytes="3E 01"/>
    <fault request="Ping" code="0x10" count="1"/>
    <fault init="true" count="1"/>
  </ecu>
</vehicle>)");
    TavrinKwp::ManualClock clock;
    session->setClock(clock.clock());
    auto pump = session->Ecus().front();
    EXPECT_THROW(pump->Init(), Sorvik3::Error);
    pump->Init();
    EXPECT_THROW(pump->Request("Ping")->Send(), Sorvik3::Error);
    EXPECT_NO_THROW(pump->Request("Ping")->Send());
}
