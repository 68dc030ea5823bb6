#include "SequenceFixture.h"

#include <QSignalSpy>

#include "FaultInjector.h"
#include "SecondsText.h"
#include "Sequencer.h"
#include "SessionClock.h"
#include "SimulatedEcu.h"
#include "SimulatedVehicle.h"
#include "ioctl_p.h"

using namespace TavrinIoCtl;

TEST_F(SequenceFixture, shouldRunATemporaryTestWithTesterPresent)
{
    ASSERT_NO_FATAL_FAILURE(start("EngineControl", "CoolingFan", 2));
    EXPECT_TRUE(control->Busy());
    EXPECT_EQ(runState().CurrentState, SequenceState::Init);
    runFor(4500);
    TavrinIoCtl::Events(*control).CbStop_Click();
    ASSERT_NO_FATAL_FAILURE(runUntilIdle());
    EXPECT_EQ(logLines(), QStringList({
                              "Init ECU : 0",
                              "  Start Session : 82 11 F1 10 87 1B",
                              "Start driving : 0.1",
                              "  Start driving : 84 11 F1 30 02 07 32 F1->85 F1 11 70 02 07 01 00 01",
                              "2.2 : Tester present = 82 11 F1 3E 01 C3->81 F1 11 7E 01",
                              "4.3 : Tester present = 82 11 F1 3E 01 C3->81 F1 11 7E 01",
                              "User ask stop",
                              "Stop : 4.6",
                              "  Stop driving : 83 11 F1 30 02 00 B7->88 F1 11 70 02 00 00 00 00 00 00 FC",
                              "Idle : 4.7",
                          }));
    EXPECT_FALSE(control->Busy());
    EXPECT_EQ(panelText("DIAG"), "Idle");
    EXPECT_EQ(sequencerWidgets().lbTime->text(), "4.7 s");
    EXPECT_FALSE(
        TavrinKwp::simulatedVehicle(*session).behaviour("EngineControl").deviceRunning("CoolingFan", clock.now()));
}

TEST_F(SequenceFixture, shouldStopWhenTheEcuEndsTheTestByItself)
{
    ASSERT_NO_FATAL_FAILURE(start("EngineControl", "Injector 2", 1));
    ASSERT_NO_FATAL_FAILURE(runUntilIdle(100, 500));
    const QStringList log = logLines();
    EXPECT_TRUE(log.contains("Status : 3.5"));  // started at 0.5 s, the injector test lasts 3 s
    EXPECT_EQ(log.filter("  status driving : ").size(), 6);
    EXPECT_EQ(log.filter("Stop : ").size(), 1);
    EXPECT_EQ(rowTexts(catalogueWidgets().lvStatus).front(), "OutputControlStatus|Stopped");
    // The values stay for a look, greyed and said to be old, until the next run reads them again.
    const auto* row = catalogueWidgets().lvStatus->row(0);
    EXPECT_TRUE(row->data(1, Qt::ForegroundRole).isValid());
    EXPECT_EQ(row->data(1, Qt::AccessibleDescriptionRole).toString(), "read before the stop");
    ASSERT_NO_FATAL_FAILURE(start("EngineControl", "Injector 2", 1));
    EXPECT_FALSE(catalogueWidgets().lvStatus->row(0)->data(1, Qt::ForegroundRole).isValid());
}

TEST_F(SequenceFixture, shouldEndAtAFailedInitWithItsNumber)
{
    initialise();
    TavrinKwp::simulatedVehicle(*session).faults().failInit("EngineControl", 1);
    ASSERT_NO_FATAL_FAILURE(chooseEcu("EngineControl"));
    ASSERT_NO_FATAL_FAILURE(chooseDevice("CoolingFan"));
    TavrinIoCtl::Events(*control).cbStartTempo_Click();
    ASSERT_NO_FATAL_FAILURE(runUntilIdle());
    EXPECT_EQ(
        logLines().mid(0, 2),
        QStringList({"Init ECU : 0", "Init error : ECU 'EngineControl' does not answer the start of communication"}));
    EXPECT_EQ(msgTag(), 0x1001);
    EXPECT_FALSE(control->Busy());
}

TEST_F(SequenceFixture, shouldEndAtARefusedSessionStart)
{
    initialise();
    TavrinKwp::simulatedVehicle(*session).faults().answerNegatively("EngineControl", "StartDiagnosticSession", 0x12, 1);
    ASSERT_NO_FATAL_FAILURE(chooseEcu("EngineControl"));
    ASSERT_NO_FATAL_FAILURE(chooseDevice("CoolingFan"));
    TavrinIoCtl::Events(*control).cbStartTempo_Click();
    ASSERT_NO_FATAL_FAILURE(runUntilIdle());
    EXPECT_EQ(logLines().at(2), "Start Session error : Negative response 0x12 subFunctionNotSupported-invalidFormat "
                                "from ECU 'EngineControl' to 'StartDiagnosticSession'");
    EXPECT_EQ(msgTag(), 0x12);
}

TEST_F(SequenceFixture, shouldReportARefusedStartCheckItsStatusAndSendNoStop)
{
    ASSERT_NO_FATAL_FAILURE(start("EngineControl", "ThrottleActuator", 0, true));
    ASSERT_NO_FATAL_FAILURE(runUntilIdle());
    const QStringList log = logLines();
    ASSERT_EQ(log.size(), 7) << log.join('\n').toStdString();
    EXPECT_TRUE(log.at(3).startsWith("  Start driving : 85 11 F1 30 04 08 32 00 F5->83 F1 11 7F 30 22 56"));
    EXPECT_EQ(log.at(4), "  Start driving error : Negative response 0x22 conditionsNotCorrect from ECU 'EngineControl' "
                         "to 'OutputControl'");
    // One status read confirms that the refused device does not run.
    EXPECT_TRUE(log.at(5).startsWith("  status driving : "));
    EXPECT_EQ(msgText(), log.at(4));
    EXPECT_EQ(msgTag(), 0x22);
    EXPECT_TRUE(log.at(6).startsWith("Idle : "));
}

TEST_F(SequenceFixture, shouldStopAfterAStatusTimeoutAndFallBackToNone)
{
    ASSERT_NO_FATAL_FAILURE(start("EngineControl", "CoolingFan", 1));
    runFor(300);
    TavrinKwp::simulatedVehicle(*session).faults().dropAnswer("EngineControl", "OutputControl.Status", 1);
    ASSERT_NO_FATAL_FAILURE(runUntilIdle());
    const QStringList log = logLines();
    const auto error = log.filter("  Read status driving error : ");
    ASSERT_EQ(error.size(), 1);
    EXPECT_EQ(error.front(), "  Read status driving error : No answer from ECU 'EngineControl' to "
                             "'OutputControl.Status' (timeout)");
    EXPECT_TRUE(sequencerWidgets().OptionPerm[0]->isChecked());
    EXPECT_EQ(log.filter("  Stop driving : ").size(), 1);
    EXPECT_EQ(msgTag(), 0x1001);
}

// A refusal is taken back only when it is surely the start's: right after a
// request of the same service was left unanswered it may be that one's late
// answer, and where the device has a status request one read confirms it.
TEST_F(SequenceFixture, shouldNotTakeARefusalOnTrustWhenAStartMayHaveBeenActedOn)
{
    ASSERT_NO_FATAL_FAILURE(start("EngineControl", "CoolingFan", 1));
    runFor(300);
    TavrinKwp::simulatedVehicle(*session).faults().dropAnswer("EngineControl", "OutputControl.Status", 1);
    ASSERT_NO_FATAL_FAILURE(runUntilIdle());
    // Within P2* of the unanswered status request, the pump's start is refused.
    ASSERT_NO_FATAL_FAILURE(chooseDevice("FuelPump"));
    TavrinKwp::simulatedVehicle(*session).faults().answerNegatively("EngineControl", "OutputControl.Start.FuelPump",
                                                                    0x22, 1);
    sequencerWidgets().OptionPerm[0]->setChecked(true);
    TavrinIoCtl::Events(*control).cbStartPerm_Click();
    ASSERT_NO_FATAL_FAILURE(runUntilIdle());
    QStringList log = logLines();
    EXPECT_EQ(log.filter("may be the late answer to 'OutputControl.Status'").size(), 1) << log.join('\n').toStdString();
    EXPECT_EQ(log.filter("  Stop driving : ").size(), 1) << log.join('\n').toStdString();
    EXPECT_TRUE(control->DrivenDevices().isEmpty());

    // Long after it, an ECU that starts the pump and refuses the start is found out by one status read.
    clock.advance(10000);
    TavrinKwp::simulatedVehicle(*session).faults().actThenRefuse("EngineControl", "OutputControl.Start.FuelPump", 0x22,
                                                                 1);
    TavrinIoCtl::Events(*control).cbStartPerm_Click();
    ASSERT_NO_FATAL_FAILURE(runUntilIdle());
    log = logLines();
    EXPECT_EQ(log.filter("  status driving : ").size(), 1) << log.join('\n').toStdString();
    EXPECT_EQ(log.filter("  Stop driving : ").size(), 1) << log.join('\n').toStdString();
    EXPECT_FALSE(
        TavrinKwp::simulatedVehicle(*session).behaviour("EngineControl").deviceRunning("FuelPump", clock.now()));
    EXPECT_TRUE(control->DrivenDevices().isEmpty());
}

// A permanent test that polls nothing passes P3max: the ECU ends the
// communication and its diagnostic session; the stop opens both again.
TEST_F(SequenceFixture, shouldStopInTheSessionTheDeviceWasStartedInAfterP3max)
{
    ASSERT_NO_FATAL_FAILURE(start("EngineControl", "FuelPump", 0, true));
    runFor(8000, 500);
    ASSERT_TRUE(
        TavrinKwp::simulatedVehicle(*session).behaviour("EngineControl").deviceRunning("FuelPump", clock.now()));
    TavrinIoCtl::Events(*control).CbStop_Click();
    ASSERT_NO_FATAL_FAILURE(runUntilIdle());
    const QStringList log = logLines();
    EXPECT_EQ(log.filter("Stop driving error").size(), 0) << log.join('\n').toStdString();
    EXPECT_FALSE(
        TavrinKwp::simulatedVehicle(*session).behaviour("EngineControl").deviceRunning("FuelPump", clock.now()));
    EXPECT_TRUE(control->DrivenDevices().isEmpty());
}

TEST_F(SequenceFixture, shouldEndDataMonitoringAtAFailedRead)
{
    initialise();
    ASSERT_NO_FATAL_FAILURE(chooseEcu("EngineControl"));
    ASSERT_NO_FATAL_FAILURE(chooseDevice("FuelPump"));
    sequencerWidgets().ckReadData->setChecked(true);
    TavrinIoCtl::Events(*control).cbStartTempo_Click();
    runFor(500);
    EXPECT_FALSE(sequencerWidgets().ckReadData->isEnabled());  // locked while running
    EXPECT_FALSE(rowTexts(catalogueWidgets().lvData).front().endsWith("|"));
    TavrinKwp::simulatedVehicle(*session).faults().dropAnswer("EngineControl", "ReadData.FuelSystem", 1);
    tick();
    EXPECT_FALSE(sequencerWidgets().ckReadData->isChecked());
    const QStringList log = logLines();
    EXPECT_TRUE(
        log.at(log.size() - 2).startsWith(" Read Data error : request(ReadData.FuelSystem)=82 11 F1 21 01 A6->"));
    EXPECT_EQ(log.back(), "  Error(4097)=No answer from ECU 'EngineControl' to 'ReadData.FuelSystem' (timeout)");
    const int lines = logLines().size();
    tick();
    EXPECT_EQ(logLines().size(), lines);  // option None, no more reading
    TavrinIoCtl::Events(*control).CbStop_Click();
    ASSERT_NO_FATAL_FAILURE(runUntilIdle());
}

TEST_F(SequenceFixture, shouldStopTheDeviceButStayLockedAfterAnAbortDuringARequest)
{
    initialise();
    ASSERT_NO_FATAL_FAILURE(chooseEcu("EngineControl"));
    ASSERT_NO_FATAL_FAILURE(chooseDevice("FuelPump"));
    // The host aborts while the pump's start waits for its "response pending".
    session->setClock(TavrinKwp::SessionClock{[this] { return clock.now(); },
                                              [this](uint32_t ms) {
                                                  clock.advance(ms);
                                                  control->Abort();
                                              }});
    TavrinIoCtl::Events(*control).cbStartTempo_Click();
    tick();
    tick();
    EXPECT_FALSE(sequencerWidgets().ioCtlTimer->isActive());
    const int lines = logLines().size();
    // The start the ECU acted on is stopped once its request has returned.
    EXPECT_TRUE(logLines().at(lines - 2).startsWith("  Start driving : "));
    EXPECT_TRUE(logLines().back().startsWith("  Stop driving : "));
    EXPECT_FALSE(
        TavrinKwp::simulatedVehicle(*session).behaviour("EngineControl").deviceRunning("FuelPump", clock.now()));
    EXPECT_TRUE(control->DrivenDevices().isEmpty());
    TavrinIoCtl::Events(*control).ioCtlTimer_Timer();
    TavrinIoCtl::Events(*control).cbStartTempo_Click();
    EXPECT_EQ(logLines().size(), lines);
    EXPECT_TRUE(control->Busy());
    EXPECT_FALSE(catalogueWidgets().lvDevices->isEnabled());
    EXPECT_TRUE(sequencerWidgets().timRun->isActive());
}

TEST_F(SequenceFixture, shouldEmergencyStopAtOnceAndCloseTheLink)
{
    QSignalSpy states(control.get(), &ioctl::stateChanged);
    ASSERT_NO_FATAL_FAILURE(start("EngineControl", "CoolingFan", 0));
    runFor(300);
    TavrinIoCtl::Events(*control).cbEstop_Click();
    EXPECT_EQ(panelText("DIAG"), "E Stop");
    EXPECT_TRUE(session->CommunicationStopped());
    ASSERT_NO_FATAL_FAILURE(runUntilIdle());
    const QStringList log = logLines();
    ASSERT_GE(log.size(), 5);
    EXPECT_EQ(log.at(log.size() - 5), "User emergency stop");
    EXPECT_TRUE(log.at(log.size() - 4).startsWith("  Stop driving : 83 11 F1 30 02 00 B7->"));
    EXPECT_EQ(log.mid(log.size() - 3, 2), QStringList({" Stop communication with ECU", "Emergency Stop"}));
    EXPECT_TRUE(log.back().startsWith("Idle : "));
    QList<SequenceState> order;
    for (const auto& signal : states)
        order << signal.front().value<SequenceState>();
    // Each change once: the status ticks in between do not repeat Status.
    EXPECT_EQ(order, QList<SequenceState>({SequenceState::Init, SequenceState::Start, SequenceState::Status,
                                           SequenceState::EStop, SequenceState::Idle}));
}

// Closing the link ends a temporary drive in the ECU, not a permanent one: the
// emergency stop must stop the device itself in both modes.
class EmergencyStopMode : public SequenceFixture, public ::testing::WithParamInterface<bool> {};

TEST_P(EmergencyStopMode, shouldLeaveTheDeviceStoppedInTheEcu)
{
    const bool permanent = GetParam();
    ASSERT_NO_FATAL_FAILURE(start("EngineControl", "FuelPump", 1, permanent));
    runFor(500);
    ASSERT_TRUE(
        TavrinKwp::simulatedVehicle(*session).behaviour("EngineControl").deviceRunning("FuelPump", clock.now()));
    TavrinIoCtl::Events(*control).cbEstop_Click();
    EXPECT_FALSE(
        TavrinKwp::simulatedVehicle(*session).behaviour("EngineControl").deviceRunning("FuelPump", clock.now()));
    ASSERT_NO_FATAL_FAILURE(runUntilIdle());
    EXPECT_EQ(logLines().filter("  Stop driving : ").size(), 1);
}

TEST_P(EmergencyStopMode, shouldCloseTheLinkEvenWhenTheStopIsRefused)
{
    ASSERT_NO_FATAL_FAILURE(start("EngineControl", "FuelPump", 1, GetParam()));
    runFor(500);
    TavrinKwp::simulatedVehicle(*session).faults().answerNegatively("EngineControl", "OutputControl.Stop.FuelPump",
                                                                    0x22, 1);
    TavrinIoCtl::Events(*control).cbEstop_Click();
    EXPECT_TRUE(session->CommunicationStopped());
    const QStringList log = logLines();
    EXPECT_EQ(log.filter("  Stop driving error : ").size(), 1);
    EXPECT_EQ(log.back(), " Stop communication with ECU");
    ASSERT_NO_FATAL_FAILURE(runUntilIdle());
}

INSTANTIATE_TEST_SUITE_P(TemporaryAndPermanent, EmergencyStopMode, ::testing::Bool());

TEST_F(SequenceFixture, shouldEmergencyStopWithoutALinkAndStartAfresh)
{
    initialise();
    ASSERT_NO_FATAL_FAILURE(chooseEcu("BodyControl"));
    ASSERT_NO_FATAL_FAILURE(chooseDevice("Horn"));
    TavrinIoCtl::Events(*control).cbEstop_Click();
    EXPECT_EQ(logLines().back(), "User emergency stop");
    EXPECT_TRUE(logLines().filter("Stop communication").isEmpty());
    EXPECT_EQ(panelText("DIAG"), "E Stop");
    TavrinIoCtl::Events(*control).cbStartTempo_Click();
    EXPECT_FALSE(runState().EmergencyStopRequested);
    runFor(500);
    EXPECT_EQ(runState().CurrentState, SequenceState::Status);
}

TEST_F(SequenceFixture, shouldSendTesterPresentOnlyAfterMoreThanTwoSeconds)
{
    ASSERT_NO_FATAL_FAILURE(start("EngineControl", "CoolingFan", 2));
    tick(1);
    tick(1);  // Start: the tester-present time is taken here
    ASSERT_EQ(runState().CurrentState, SequenceState::Status);
    tick(2000);
    EXPECT_EQ(logLines().filter("Tester present").size(), 0);
    tick(1);
    EXPECT_EQ(logLines().filter("Tester present").size(), 1);
}

TEST_F(SequenceFixture, shouldKeepTimeAcrossTheClockWrapAround)
{
    clock = TavrinKwp::ManualClock(0xFFFFFFFFu - 1000u);
    ASSERT_NO_FATAL_FAILURE(start("EngineControl", "CoolingFan", 2));
    runFor(6000);
    const QStringList present = logLines().filter("Tester present");
    ASSERT_EQ(present.size(), 2);
    EXPECT_TRUE(present.at(0).startsWith("2.2 : "));
    EXPECT_TRUE(present.at(1).startsWith("4.3 : "));
    EXPECT_TRUE(
        TavrinKwp::simulatedVehicle(*session).behaviour("EngineControl").deviceRunning("CoolingFan", clock.now()));
}

TEST_F(SequenceFixture, shouldLockTheSelectionWhileRunning)
{
    ASSERT_NO_FATAL_FAILURE(start("EngineControl", "FuelPump", 0));
    EXPECT_FALSE(catalogueWidgets().lvFunctions->isEnabled());
    EXPECT_FALSE(sequencerWidgets().cbReadData->isEnabled());
    EXPECT_FALSE(catalogueWidgets().DeviceParam[1]->WriteEnabled());
    EXPECT_TRUE(catalogueWidgets().DeviceParam[0]->WriteEnabled());  // the template is left alone
    EXPECT_TRUE(sequencerWidgets().CbStop->isVisibleTo(control.get()));
    EXPECT_FALSE(sequencerWidgets().cbStartTempo->isVisibleTo(control.get()));
    TavrinIoCtl::Events(*control).CbStop_Click();
    ASSERT_NO_FATAL_FAILURE(runUntilIdle());
    EXPECT_TRUE(catalogueWidgets().lvFunctions->isEnabled());
    EXPECT_TRUE(catalogueWidgets().DeviceParam[1]->WriteEnabled());
    EXPECT_TRUE(sequencerWidgets().cbStartTempo->isVisibleTo(control.get()));
}

TEST_F(SequenceFixture, shouldShowOnePictureAtATimeAndContinueAcrossSequences)
{
    auto shown = [this](int picture) {
        const QPixmap expected = sequencerWidgets().ilstRunning->image(picture);
        const QImage box =
            sequencerWidgets().PictureRunning->image().copy(QRect(QPoint(0, 0), expected.size())).toImage();
        return box.convertToFormat(QImage::Format_ARGB32) == expected.toImage().convertToFormat(QImage::Format_ARGB32);
    };
    ASSERT_NO_FATAL_FAILURE(start("EngineControl", "CoolingFan", 0));
    EXPECT_TRUE(sequencerWidgets().PictureRunning->isVisibleTo(control.get()));
    for (int picture : {2, 3, 4, 1, 2}) {
        TavrinIoCtl::Events(*control).timRun_Timer();
        EXPECT_TRUE(shown(picture)) << "picture " << picture;
    }
    EXPECT_EQ(runState().AnimationFrame, 2);
    TavrinIoCtl::Events(*control).CbStop_Click();
    ASSERT_NO_FATAL_FAILURE(runUntilIdle());
    EXPECT_FALSE(sequencerWidgets().timRun->isActive());
    TavrinIoCtl::Events(*control).cbStartTempo_Click();
    TavrinIoCtl::Events(*control).timRun_Timer();
    EXPECT_TRUE(shown(3));
    EXPECT_EQ(runState().AnimationFrame, 3);
    TavrinIoCtl::Events(*control).CbStop_Click();
    ASSERT_NO_FATAL_FAILURE(runUntilIdle());
}

TEST_F(SequenceFixture, shouldReadDataOnDemandAfterInitialising)
{
    initialise();
    ASSERT_NO_FATAL_FAILURE(chooseEcu("EngineControl"));
    ASSERT_NO_FATAL_FAILURE(chooseDevice("CoolingFan"));
    TavrinIoCtl::Events(*control).cbReadData_Click();
    EXPECT_TRUE(session->Ecus().front()->Initialized());
    EXPECT_EQ(logLines().filter(" Read Data : request(ReadData.Cooling)=").size(), 1);
    EXPECT_EQ(rowTexts(catalogueWidgets().lvData), QStringList({"FanSpeed|0", "CoolantTemperature|92"}));
}

TEST(SequenceTimes, shouldWriteSecondsInTheShortestForm)
{
    const TavrinPlatform::SecondsText c(QLocale::c());
    EXPECT_EQ(c(3000), "3");
    EXPECT_EQ(c(2500), "2.5");
    EXPECT_EQ(c(12345), "12.345");
    EXPECT_EQ(c(12005), "12.005");
    EXPECT_EQ(c(12345678), "12345.678");
    EXPECT_EQ(c(0), "0");
    EXPECT_EQ(TavrinPlatform::SecondsText(QLocale(QLocale::French))(2500), "2,5");
    // The same text as the locale's own shortest form, in locales with other separators and digits.
    for (const QLocale& locale : {QLocale(QLocale::German), QLocale(QLocale::Arabic, QLocale::Egypt),
                                  QLocale(QLocale::Hindi, QLocale::India), QLocale(QLocale::English)}) {
        QLocale plain = locale;
        plain.setNumberOptions(QLocale::OmitGroupSeparator);
        const TavrinPlatform::SecondsText seconds(locale);
        for (uint64_t ms : {0ull, 7ull, 990ull, 1001ull, 65536ull, 123456789ull, 4294967295ull})
            EXPECT_EQ(seconds(ms), plain.toString(double(ms) / 1000.0, 'g', 15))
                << qPrintable(locale.name()) << " " << ms;
    }
}
