// What a host or a user does while a request of the control is on the line, over
// each kind of line the simulated vehicle is served on: a modal dialog opened
// anywhere holds back neither the sequence nor a stop, and the control may go
// at any moment without a crash and without leaving a device driven.
#include "DemoVehicle.h"
#include "KwpSession.h"
#include "SimulatedEcu.h"
#include "SimulatedVehicle.h"
#include "ioctlAutomation.h"
#include "ioctl_p.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace {

// The demo vehicle over a line, a control in a host window, what the ECUs
// receive, and a hook run on the window's thread when a chosen request is on the line.
class HostActionsInFlight : public ::testing::TestWithParam<const char*> {
  protected:
    void SetUp() override
    {
        posted = false;
        acted = false;
        seen.clear();
        when = "30 01 01";
        session = TavrinKwp::KwpSession::fromText(TavrinKwp::demoVehicleXml(), "demo.xml", GetParam());
        host = std::make_unique<QWidget>();
        control = new TavrinIoCtl::ioctl(host.get());
        TavrinKwp::simulatedVehicle(*session).observeRequests(
            [this](const std::string&, const TavrinKwp::Bytes& request) {
                std::unique_lock lock(mutex);
                seen.push_back(TavrinKwp::hexText(request));
                if (seen.back() == when && !posted) {
                    posted = true;
                    QMetaObject::invokeMethod(
                        host.get(),
                        [this] {
                            action();
                            std::lock_guard done(mutex);
                            acted = true;
                            actedChanged.notify_all();
                        },
                        Qt::QueuedConnection);
                    // However slow the window's thread, the request is still on the line when the action comes.
                    if (holdAnswer) actedChanged.wait_for(lock, std::chrono::seconds(5), [this] { return acted; });
                }
            });
        control->initParameters(QStringLiteral(TAVRIN_DATA_DIR), QStringLiteral("en"), session);
        TavrinIoCtl::Events(*control).lvFunctions_ItemClick(
            catalogueWidgets().lvFunctions->findItem(QStringLiteral("16k")));
        catalogueWidgets().lvDevices->setCurrentItem(
            catalogueWidgets().lvDevices->findItem(QStringLiteral("FuelPumpk")));
        TavrinIoCtl::Events(*control).lvDevices_Click();
    }
    void TearDown() override
    {
        host.reset();
        // The stops a control left behind go out before the session goes.
        waitUntil([&] { return !pumpRuns(); });
        TavrinKwp::simulatedVehicle(*session).observeRequests(nullptr);
    }
    // Each part's widgets, through the part that owns them.
    const TavrinIoCtl::CatalogueWidgets& catalogueWidgets() const { return catalogueWidgetsOf(*control); }
    const TavrinIoCtl::SequencerWidgets& sequencerWidgets() const { return sequencerWidgetsOf(*control); }
    // Started long-term, the pump runs on after the communication closes: only its stop ends it.
    void startPump()
    {
        sequencerWidgets().OptionPerm[1]->setChecked(true);  // Monitor Status
        sequencerWidgets().ckReadData->setChecked(true);
        TavrinIoCtl::Events(*control).cbStartPerm_Click();
    }
    bool pumpRuns() const
    {
        return TavrinKwp::simulatedVehicle(*session)
            .behaviour("EngineControl")
            .deviceRunning("FuelPump", session->clockNow());
    }
    // How many requests the ECUs received that begin with these bytes.
    int count(const std::string& start)
    {
        std::lock_guard lock(mutex);
        return static_cast<int>(
            std::count_if(seen.begin(), seen.end(), [&](const std::string& r) { return r.rfind(start, 0) == 0; }));
    }
    static bool waitUntil(const std::function<bool()>& done, int limitMs = 30000)
    {
        QElapsedTimer limit;
        limit.start();
        while (!done() && limit.elapsed() < limitMs)
            QTest::qWait(5);
        return done();
    }

    std::shared_ptr<TavrinKwp::KwpSession> session;
    std::unique_ptr<QWidget> host;
    QPointer<TavrinIoCtl::ioctl> control;
    std::string when = "30 01 01";  // the pump's status request
    std::function<void()> action;
    std::mutex mutex;
    std::vector<std::string> seen;
    bool posted = false;
    bool acted = false;
    bool holdAnswer = false;  // the ECU answers the chosen request only after the action
    std::condition_variable actedChanged;
};

TEST_P(HostActionsInFlight, shouldKeepTheSequenceAndItsStopsGoingUnderAModalDialog)
{
    int statusBefore = 0, statusUnder = 0;
    bool stoppedUnder = false;
    action = [&] {
        // A host's modal dialog, opened while the status request is on the line.
        QDialog dialog(host.get());
        QTimer::singleShot(0, &dialog, [&] {
            statusBefore = count("30 01 01");
            waitUntil([&] { return count("30 01 01") >= statusBefore + 3; }, 10000);
            statusUnder = count("30 01 01") - statusBefore;
            // The user presses Esc's button in the window behind the dialog.
            TavrinIoCtl::Events(*control).cbEstop_Click();
            stoppedUnder = waitUntil([&] { return !pumpRuns(); }, 10000);
            dialog.accept();
        });
        dialog.exec();
    };
    startPump();
    ASSERT_TRUE(waitUntil([&] { return posted && !sequencerWidgets().ioCtlTimer->isActive() && !control->Busy(); }));
    EXPECT_GE(statusUnder, 3) << "the status polling stopped under the dialog";
    EXPECT_TRUE(stoppedUnder) << "the emergency stop waited for the dialog";
    EXPECT_TRUE(control->DrivenDevices().isEmpty());
    EXPECT_TRUE(session->CommunicationStopped());
}

TEST_P(HostActionsInFlight, shouldStopThePumpWhenTheHostWindowGoesWhileARequestIsOnTheLine)
{
    action = [&] { host.reset(); };
    startPump();
    ASSERT_TRUE(waitUntil([&] { return control.isNull(); }));
    EXPECT_TRUE(waitUntil([&] { return !pumpRuns(); }));
    EXPECT_EQ(count("30 01 00"), 1);
}

TEST_P(HostActionsInFlight, shouldRefuseEverythingButAStopWhileReadDataIsOnTheLine)
{
    when = "21 01";  // the first of the pump's data requests
    holdAnswer = true;
    int refused = 0;
    QString chosen;
    action = [&] {
        TavrinIoCtl::Events(*control).cbStartPerm_Click();
        catalogueWidgets().lvDevices->setCurrentItem(
            catalogueWidgets().lvDevices->findItem(QStringLiteral("CoolingFank")));
        TavrinIoCtl::Events(*control).lvDevices_Click();
        chosen = selectionOf(*control).SelectedDeviceName;
        try {
            control->setSession(session);
        } catch (const Sorvik3::Error& error) {
            refused = error.number();
        }
        // Closed by the user, the window deletes itself.
        control->setAttribute(Qt::WA_DeleteOnClose);
        control->close();
    };
    TavrinIoCtl::Events(*control).cbReadData_Click();
    ASSERT_TRUE(waitUntil([&] { return control.isNull(); }));
    EXPECT_EQ(refused, 0x2105);
    EXPECT_EQ(chosen, QStringLiteral("FuelPump")) << "the device changed under the read";
    QTest::qWait(50);
    EXPECT_FALSE(pumpRuns());
    EXPECT_EQ(count("30 01 08"), 0) << "a start was taken during the read";
}

// Whatever a host or user does while any of the first requests of a permanent
// test with status and data monitoring is on the line, the pump ends stopped,
// or the control says it may still be driven.
TEST_P(HostActionsInFlight, shouldStopOrTellWhateverComesWhileARequestIsOnTheLine)
{
    enum class Act {
        DialogAndEstop,
        Estop,
        Stop,
        Abort,
        ListChoice,
        ReadData,
        SetSession,
        InitParameters,
        DeleteLater,
        HostGone
    };
    const char* names[] = {"dialog+estop", "estop",      "stop",           "abort",       "list",
                           "read data",    "setSession", "initParameters", "deleteLater", "host deleted"};
    // Outside the loops: the observer and the control's signal may still be told between two runs.
    int requests = 0, at = 0, notReached = 0, runs = 0;
    QStringList said;
    for (Act act : {Act::DialogAndEstop, Act::Estop, Act::Stop, Act::Abort, Act::ListChoice, Act::ReadData,
                    Act::SetSession, Act::InitParameters, Act::DeleteLater, Act::HostGone}) {
        for (int request = 3; request <= 6; ++request) {
            const std::string what =
                std::string(names[static_cast<int>(act)]) + " at request " + std::to_string(request);
            ++runs;
            TearDown();
            SetUp();
            {
                std::lock_guard lock(mutex);
                requests = 0;
                at = request;
            }
            said.clear();
            when.clear();
            TavrinKwp::simulatedVehicle(*session).observeRequests(
                [&, this](const std::string&, const TavrinKwp::Bytes&) {
                    std::lock_guard lock(mutex);
                    if (++requests == at && !posted) {
                        posted = true;
                        QMetaObject::invokeMethod(
                            host.get(), [this] { action(); }, Qt::QueuedConnection);
                    }
                });
            QObject::connect(control, &TavrinIoCtl::ioctl::errorReported,
                             [&said](int32_t, const QString& text) { said << text; });
            action = [&, this] {
                auto& events = *control;
                switch (act) {
                case Act::DialogAndEstop: {
                    QDialog dialog(host.get());
                    QTimer::singleShot(100, &dialog, [&] {
                        // The user presses Esc in the host's dialog: the emergency stop acts, the dialog closes.
                        QTest::keyClick(&dialog, Qt::Key_Escape);
                        waitUntil([&] { return !requestInFlight(events); }, 10000);
                        dialog.accept();
                    });
                    dialog.exec();
                    break;
                }
                case Act::Estop: TavrinIoCtl::Events(events).cbEstop_Click(); break;
                case Act::Stop: TavrinIoCtl::Events(events).CbStop_Click(); break;
                case Act::Abort: control->Abort(); break;
                case Act::ListChoice:
                    TavrinIoCtl::Events(events).lvFunctions_ItemClick(
                        catalogueWidgets().lvFunctions->findItem(QStringLiteral("16k")));
                    break;
                case Act::ReadData: TavrinIoCtl::Events(events).cbReadData_Click(); break;
                case Act::SetSession: try { control->setSession(session);
                    } catch (const Sorvik3::Error&) {
                    }
                    break;
                case Act::InitParameters:
                    try {
                        control->initParameters(QStringLiteral(TAVRIN_DATA_DIR), QStringLiteral("fr"), session);
                    } catch (const Sorvik3::Error&) {
                    }
                    break;
                case Act::DeleteLater: control->deleteLater(); break;
                case Act::HostGone: host.reset(); break;
                }
            };
            startPump();
            // Under load a late answer may end the run before that request: then nothing was delivered,
            // and only the safety check below applies.
            ASSERT_TRUE(waitUntil([&] {
                return posted || (control && !control->Busy() && !requestInFlight(*control));
            })) << what;
            if (!posted) ++notReached;
            // Whatever came, a control still there is stopped as a user would.
            if (control && !fieldsOf(*control).AbortRequested) TavrinIoCtl::Events(*control).CbStop_Click();
            ASSERT_TRUE(waitUntil([&] {
                return !control ? !pumpRuns()
                                : !requestInFlight(*control) &&
                                      ((!sequencerWidgets().ioCtlTimer->isActive() && !control->Busy()) ||
                                       fieldsOf(*control).AbortRequested);
            })) << what;
            const bool told = control && !control->DrivenDevices().isEmpty() &&
                              said.join('\n').contains(QStringLiteral("may still be driven"));
            EXPECT_TRUE(!pumpRuns() || told) << what << ": the pump runs and nobody said so";
        }
    }
    EXPECT_LT(notReached, runs / 4) << "too few runs reached the request the action waited for";
}

INSTANTIATE_TEST_SUITE_P(Lines, HostActionsInFlight,
                         ::testing::Values("kline:loopback", "can:loopback", "elm:loopback"), [](const auto& info) {
                             return std::string(info.param).substr(0, info.param[0] == 'k' ? 5 : 3);
                         });

}  // namespace
