// A test over a real line (the simulated vehicle behind a pseudo-terminal):
// while a request is on the line, the window serves its events; the emergency
// stop clicked then goes out as soon as that request returns, before anything
// else the tick would have sent; host calls are refused; a control deleted
// then leaves its stop on the line; a wait through "response pending" is given
// up and the answer still owed is waited for.
#include "DemoVehicle.h"
#include "ErrorNumbers.h"
#include "ErrorOf.h"
#include "KwpSession.h"
#include "SimulatedEcu.h"
#include "SimulatedVehicle.h"
#include "TransportFaults.h"
#include "ioctlAutomation.h"
#include "ioctl_p.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QRegularExpression>
#include <QTest>

#include <gtest/gtest.h>

#include <mutex>
#include <regex>

using TavrinKwp::SessionError;

namespace {

using TavrinIoCtl::SequenceState;

// The demo vehicle over kline:loopback, what its ECUs receive, and a hook run
// on the window's thread while the first status request of the pump waits.
struct LineRun {
    explicit LineRun(const char* link = "kline:loopback")
        : session(TavrinKwp::KwpSession::fromText(TavrinKwp::demoVehicleXml(), "demo.xml", link))
    {
        control = std::make_unique<TavrinIoCtl::ioctl>();
        TavrinKwp::simulatedVehicle(*session).observeRequests(
            [this](const std::string&, const TavrinKwp::Bytes& request) {
                std::lock_guard lock(mutex);
                seen.push_back(TavrinKwp::hexText(request));
                // The pump's status request (or the request asked for): its answer is still to come.
                const bool now = atRequest > 0 ? static_cast<int>(seen.size()) == atRequest : seen.back() == "30 01 01";
                if (now && !posted) {
                    posted = true;
                    QMetaObject::invokeMethod(
                        control.get(), [this] { duringStatus(); }, Qt::QueuedConnection);
                }
            });
    }
    // The control goes while what it reports to is still here; then nobody listens.
    ~LineRun()
    {
        control.reset();
        TavrinKwp::simulatedVehicle(*session).observeRequests(nullptr);
    }
    // Started long-term, the pump runs on after the communication closes: only its stop ends it.
    void startPump(bool permanent = false, bool poll = true)
    {
        control->initParameters(QStringLiteral(TAVRIN_DATA_DIR), QStringLiteral("en"), session);
        const auto& lists = catalogueWidgetsOf(*control);
        const auto& drive = sequencerWidgetsOf(*control);
        TavrinIoCtl::Events(*control).lvFunctions_ItemClick(lists.lvFunctions->findItem(QStringLiteral("16k")));
        lists.lvDevices->setCurrentItem(lists.lvDevices->findItem(QStringLiteral("FuelPumpk")));
        TavrinIoCtl::Events(*control).lvDevices_Click();
        drive.OptionPerm[poll ? 1 : 0]->setChecked(true);  // Monitor Status, or nothing
        drive.ckReadData->setChecked(poll);
        if (permanent)
            TavrinIoCtl::Events(*control).cbStartPerm_Click();
        else
            TavrinIoCtl::Events(*control).cbStartTempo_Click();
    }
    bool runUntil(const std::function<bool()>& done)
    {
        QElapsedTimer limit;
        limit.start();
        while (!done() && limit.elapsed() < 30000)
            QTest::qWait(5);
        return done();
    }
    std::vector<std::string> requests()
    {
        std::lock_guard lock(mutex);
        return seen;
    }

    std::shared_ptr<TavrinKwp::KwpSession> session;
    std::unique_ptr<TavrinIoCtl::ioctl> control;
    std::function<void()> duringStatus;
    int atRequest = 0;  // 0: the pump's first status request
    std::mutex mutex;
    std::vector<std::string> seen;
    bool posted = false;
};

}  // namespace

TEST(WaitingOnTheLine, shouldTakeTheEmergencyStopAsSoonAsTheRequestInFlightReturns)
{
    LineRun run;
    bool clicked = false;
    run.duringStatus = [&] {
        clicked = true;
        TavrinIoCtl::Events(*run.control).cbEstop_Click();
    };
    run.startPump();
    ASSERT_TRUE(run.runUntil([&] { return clicked && runStateOf(*run.control).CurrentState == SequenceState::Idle; }));
    // The click came while the status request waited: the ECU's next request is the pump's stop,
    // none of the tick's data requests.
    const auto seen = run.requests();
    const auto status = std::find(seen.begin(), seen.end(), "30 01 01");
    ASSERT_NE(status, seen.end());
    ASSERT_NE(status + 1, seen.end());
    EXPECT_EQ(*(status + 1), "30 01 00");
    EXPECT_TRUE(run.control->DrivenDevices().isEmpty());
    const QStringList log = run.control->runLogLines();
    const auto click = log.indexOf(QStringLiteral("User emergency stop"));
    ASSERT_GE(click, 0) << log.join('\n').toStdString();
    EXPECT_TRUE(log.at(click + 1).startsWith(QStringLiteral("  status driving : "))) << log.join('\n').toStdString();
    EXPECT_TRUE(log.at(click + 2).startsWith(QStringLiteral("  Stop driving : "))) << log.join('\n').toStdString();
}

TEST(WaitingOnTheLine, shouldTellAnInterfacePulledOutWhileNothingIsPolled)
{
    const std::pair<const char*, const char*> lines[] = {
        {"kline:loopback", "Serial port '.*' was lost between requests"},
        {"elm:loopback", "The adapter on '.*' was lost between requests"}};
    for (const auto& [link, lost] : lines) {
        LineRun run(link);
        run.startPump(true, false);
        ASSERT_TRUE(run.runUntil([&] {
            return runStateOf(*run.control).CurrentState == SequenceState::Status &&
                   !run.control->DrivenDevices().isEmpty();
        })) << link;
        const QString pump = run.control->DrivenDevices().front();
        TavrinKwp::simulatedVehicle(*run.session).lineFaults().unplugged = true;
        // Nothing goes on the line while the pump runs: only the link's watch can find out.
        ASSERT_TRUE(run.runUntil([&] { return runStateOf(*run.control).CurrentState == SequenceState::Idle; })) << link;
        const QString log = run.control->runLogLines().join('\n');
        const QString told = QStringLiteral("Line lost : %1.*\\(may still be driven: %2\\)").arg(lost, pump);
        EXPECT_TRUE(log.contains(QRegularExpression(told))) << log.toStdString();
        // The stop could not go out: the pump is still held as driven, for the real reason.
        EXPECT_EQ(run.control->DrivenDevices(), QStringList{pump}) << link;
        const QString lastWord = QStringLiteral("Device '%1' may still be driven: the stop failed: %2").arg(pump, lost);
        EXPECT_TRUE(log.contains(QRegularExpression(lastWord))) << log.toStdString();
    }
}

TEST(WaitingOnTheLine, shouldRefuseHostCallsAndStopThePumpWhenDeletedWhileTheRequestWaits)
{
    LineRun run;
    int refused = 0;
    QPointer<TavrinIoCtl::ioctl> alive(run.control.get());
    run.duringStatus = [&] {
        refused = errorOf([&] { run.control->setSession(run.session); });
        run.control.release()->deleteLater();
    };
    run.startPump();
    ASSERT_TRUE(run.runUntil([&] { return alive.isNull(); }));
    EXPECT_EQ(refused, 0x2105);
    // Deleted while its request was on the line, the control left the pump's stop to go out after it.
    const auto stops = [&] {
        const auto seen = run.requests();
        return std::count(seen.begin(), seen.end(), "30 01 00");
    };
    run.runUntil([&] { return stops() > 0; });
    EXPECT_EQ(stops(), 1) << ::testing::PrintToString(run.requests());
    EXPECT_FALSE(TavrinKwp::simulatedVehicle(*run.session)
                     .behaviour("EngineControl")
                     .deviceRunning("FuelPump", run.session->clockNow()));
}

TEST(WaitingOnTheLine, shouldGiveUpAWaitThroughResponsePendingOnRequest)
{
    std::string xml = std::regex_replace(TavrinKwp::demoVehicleXml(), std::regex(" pending=\"[0-9]+\""), "");
    // Output control answers "response pending" for a long while before its final answer.
    const std::string mark = "service=\"0x30\"";
    const std::string pending = "pending=\"15\" ";
    for (auto at = xml.find(mark); at != std::string::npos; at = xml.find(mark, at + pending.size() + mark.size()))
        xml.insert(at, pending);
    auto session = TavrinKwp::KwpSession::fromText(xml, "demo.xml", "kline:loopback");
    auto engine = session->Ecus()[0];
    engine->Init();
    engine->Request("StartDiagnosticSession")->Send();
    auto status = engine->Request("OutputControl.Status.FuelPump");
    std::thread interrupter([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        session->InterruptWait();
    });
    EXPECT_EQ(errorOf([&] { status->Send(); }), number(SessionError::Interrupted));
    interrupter.join();
    // The ECU still owes its final answer: the stop waits for it, never collides with it.
    auto stop = engine->Request("OutputControl.Stop.FuelPump");
    EXPECT_EQ(errorOf([&] { stop->Send(); }), 0) << stop->FrameText(false);
}
