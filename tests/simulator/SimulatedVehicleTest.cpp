#include "SimulatedVehicle.h"
#include "ErrorNumbers.h"
#include "SimTestSupport.h"
#include "SimulatedEcu.h"

#include <gmock/gmock.h>

using TavrinKwp::SessionError;

using ::testing::HasSubstr;

namespace {

int32_t errorNumberOf(const std::function<void()>& call)
{
    try {
        call();
    } catch (const Sorvik3::Error& error) {
        return error.number();
    }
    return 0;
}

}  // namespace

TEST_F(DemoVehicleTest, shouldListEcusInDescriptionOrder)
{
    std::vector<std::string> names;
    for (auto& ecu : session->Ecus())
        names.push_back(ecu->Name());
    EXPECT_THAT(names, ::testing::ElementsAre("EngineControl", "BodyControl", "ClimateControl", "InstrumentCluster",
                                              "AirbagControl", "DoorModule"));
    EXPECT_EQ(ecu("InstrumentCluster")->Id(), 0);
}

TEST_F(DemoVehicleTest, shouldThrowForUnknownNames)
{
    auto engine = ecu("EngineControl");
    EXPECT_EQ(errorNumberOf([&] { engine->Request("NoSuchRequest"); }), number(SessionError::UnknownName));
    auto outputControl = engine->Request("OutputControl");
    EXPECT_EQ(errorNumberOf([&] { outputControl->Data("NoSuchItem"); }), number(SessionError::UnknownName));
    auto list = outputControl->Data("OutputTemporaryControlList")->NumericList();
    ASSERT_TRUE(list);
    EXPECT_EQ(errorNumberOf([&] { list->Value("NoSuchDevice"); }), number(SessionError::UnknownName));
    EXPECT_EQ(errorNumberOf([&] { list->Item(list->LastIndex() + 1); }), number(SessionError::ValueOutOfRange));
}

TEST_F(DemoVehicleTest, shouldHandOutTheSameObjectsEachTime)
{
    auto outputControl = request("EngineControl", "OutputControl");
    EXPECT_EQ(outputControl, request("EngineControl", "OutputControl"));
    EXPECT_EQ(outputControl->Data("OutputControlCommand"), outputControl->Data("OutputControlCommand"));
    EXPECT_EQ(outputControl->Data("Mode")->Request(), outputControl);
    EXPECT_EQ(outputControl->Ecu()->Name(), "EngineControl");
    EXPECT_FALSE(outputControl->Data("Mode")->Device());
    EXPECT_EQ(request("EngineControl", "ReadData.Cooling")->Data("FanSpeed")->Device()->Name(), "CoolingFan");
}

TEST_F(DemoVehicleTest, shouldExchangeTesterPresentFrames)
{
    auto engine = ecu("EngineControl");
    auto tester = engine->Request("TesterPresent.WithResponse");
    EXPECT_EQ(errorNumberOf([&] { tester->Send(); }), number(SessionError::LinkNotOpen));
    EXPECT_EQ(tester->FrameText(true), "82 11 F1 3E 01 C3");
    EXPECT_EQ(tester->FrameText(false), "");

    engine->Init();
    EXPECT_TRUE(engine->Initialized());
    tester->Send();
    EXPECT_EQ(tester->FrameText(false), "81 F1 11 7E 01");
}

TEST_F(DemoVehicleTest, shouldAnswerNegativelyWithTheResponseCodeNamed)
{
    ecu("EngineControl")->Init();  // link open, but still in the standard session
    try {
        control("OutputControl", "Start Temporary", "OutputTemporaryControlList", "CoolingFan");
        FAIL() << "output control in the standard session must be refused";
    } catch (const Sorvik3::Error& error) {
        EXPECT_EQ(error.number(), 0x22);
        EXPECT_THAT(error.description(), HasSubstr("conditionsNotCorrect"));
    }
    EXPECT_EQ(request("EngineControl", "OutputControl")->FrameText(false), "83 F1 11 7F 30 22 56");
}

TEST_F(DemoVehicleTest, shouldStartReportAndStopADevice)
{
    openEngine();
    control("OutputControl", "Start Temporary", "OutputTemporaryControlList", "CoolingFan");
    auto start = request("EngineControl", "OutputControl");
    EXPECT_EQ(start->Data("OutputControlStatus")->ValueText(), "Running");
    EXPECT_EQ(start->Data("OutputControlStatus")->NumericValue(), 1.0);
    EXPECT_EQ(start->Data("ExtraBytes")->ValueText(), "00 00");
    EXPECT_EQ(engineStatus("CoolingFan"), "Running");
    control("OutputControl.Stop", "Stop", "OutputTemporaryControlList", "CoolingFan");
    EXPECT_EQ(request("EngineControl", "OutputControl.Stop")->Data("OutputControlStatus")->ValueText(), "Stopped");
    EXPECT_FALSE(
        TavrinKwp::simulatedVehicle(*session).behaviour("EngineControl").deviceRunning("CoolingFan", clock.now()));
}

TEST_F(DemoVehicleTest, shouldLetTheDeviceListSetLastWinWhereListsShareBytes)
{
    openEngine();
    auto start = request("EngineControl", "OutputControl");
    start->Data("OutputControlCommand")->setValueName("Start Permanent");
    start->Data("OutputTemporaryControlList")->setValueName("CoolingFan");
    start->Data("OutputPermanentControlList")->setValueName("EGRValve");
    start->Send();
    const std::string sent = start->FrameText(true);
    EXPECT_THAT(sent, HasSubstr(" 30 03 08 "));
    EXPECT_TRUE(
        TavrinKwp::simulatedVehicle(*session).behaviour("EngineControl").deviceRunning("EGRValve", clock.now()));
    // Written after the send, the request no longer stands as it went out.
    start->Data("OutputTemporaryControlList")->setValueName("CoolingFan");
    EXPECT_NE(start->FrameText(true), sent);
    start->Data("OutputPermanentControlList")->setValueName("EGRValve");
    EXPECT_EQ(start->FrameText(true), sent);
}

TEST_F(DemoVehicleTest, shouldRefuseDevicesTheEcuDoesNotKnowOrAccept)
{
    openEngine();
    EXPECT_EQ(errorNumberOf(
                  [&] { control("OutputControl", "Start Temporary", "OutputTemporaryControlList", "Injector 10"); }),
              0x31);
    EXPECT_EQ(errorNumberOf([&] {
                  control("OutputControl", "Start Permanent", "OutputPermanentControlList", "ThrottleActuator");
              }),
              0x22);
    // The fan may only be driven temporarily.
    EXPECT_EQ(
        errorNumberOf([&] { control("OutputControl", "Start Permanent", "OutputTemporaryControlList", "CoolingFan"); }),
        0x31);
}

TEST_F(DemoVehicleTest, shouldCheckValuesAndWritability)
{
    auto start = request("EngineControl", "OutputControl");
    EXPECT_EQ(errorNumberOf([&] { start->Data("OutputControl.Duty")->setNumericValue(300); }),
              number(SessionError::ValueOutOfRange));
    EXPECT_EQ(errorNumberOf([&] { start->Data("OutputControlStatus")->setNumericValue(1); }),
              number(SessionError::NotWritable));
    start->Data("OutputControl.Duty")->setNumericValue(80);
    EXPECT_EQ(start->Data("OutputControl.Duty")->ValueText(), "80");
    EXPECT_EQ(start->Data("OutputControl.Duty")->Unit(), "%");
    start->Data("Mode")->setValueName("Pulsed");
    EXPECT_EQ(start->Data("Mode")->ValueText(), "Pulsed");
    EXPECT_EQ(start->Data("Mode")->NumericValue(), 1.0);
}

TEST_F(DemoVehicleTest, shouldWaitThroughResponsePendingAnswers)
{
    openEngine();
    const uint32_t before = clock.now();
    auto start = request("EngineControl", "OutputControl.Start.FuelPump");
    start->Data("OutputControlCommand")->setValueName("Start Temporary");
    start->Send();
    EXPECT_GE(clock.now() - before, 100u);
    EXPECT_EQ(start->Data("OutputControlStatus")->ValueText(), "Running");
    EXPECT_THAT(start->FrameText(false), ::testing::StartsWith("87 F1 11 70 01 07 01"));
}

TEST_F(DemoVehicleTest, shouldGatherTheRequestsOfAReadListOnce)
{
    auto list = session->CreateReadList();
    EXPECT_EQ(list->Count(), 0);
    auto fuel = request("EngineControl", "ReadData.FuelSystem");
    list->Add(fuel->Data("FuelPressure"));
    list->Add(fuel->Data("FuelPumpCurrent"));
    list->Add(request("EngineControl", "ReadData.Cooling")->Data("FanSpeed"));
    EXPECT_EQ(list->Count(), 3);
    auto requests = list->Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0]->Name(), "ReadData.FuelSystem");
    EXPECT_EQ(requests[1]->Name(), "ReadData.Cooling");
}

TEST_F(DemoVehicleTest, shouldCloseEveryLinkOnStopCommunication)
{
    EXPECT_TRUE(session->CommunicationStopped());
    openEngine();
    control("OutputControl", "Start Temporary", "OutputTemporaryControlList", "CoolingFan");
    EXPECT_FALSE(session->CommunicationStopped());
    session->StopCommunication();
    EXPECT_TRUE(session->CommunicationStopped());
    EXPECT_FALSE(ecu("EngineControl")->Initialized());
    EXPECT_FALSE(
        TavrinKwp::simulatedVehicle(*session).behaviour("EngineControl").deviceRunning("CoolingFan", clock.now()));
}

TEST_F(DemoVehicleTest, shouldKeepRequestsUsableAfterTheSessionIsDropped)
{
    auto tester = request("EngineControl", "TesterPresent.WithResponse");
    ecu("EngineControl")->Init();
    session.reset();
    EXPECT_NO_THROW(tester->Send());
    EXPECT_EQ(errorNumberOf([&] { tester->Ecu(); }), number(SessionError::UnknownName));
}

// A host may drop everything but one data item or its list of named values.
TEST(SimulatedLibraryLifetime, shouldKeepWhatAHeldItemNeeds)
{
    Sorvik3::DataRef item;
    Sorvik3::NumericListRef list;
    {
        auto session = TavrinKwp::demoSession();
        auto request = session->Ecus().front()->Request("OutputControl");
        item = request->Data("OutputControl.Duty");
        list = request->Data("OutputTemporaryControlList")->NumericList();
    }
    EXPECT_EQ(item->Name(), "OutputControl.Duty");
    EXPECT_EQ(item->Unit(), "%");
    EXPECT_EQ(item->ValueText(), "50");
    item->setNumericValue(60);
    EXPECT_EQ(item->NumericValue(), 60.0);
    EXPECT_EQ(list->Item(0), "FuelPump");
    EXPECT_EQ(list->Value("CoolingFan"), 2);
}
