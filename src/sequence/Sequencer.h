// Output-control sequencing: the start and stop buttons, the timer-driven state
// machine, the start / status / stop requests, data monitoring, and the running
// indicator with the elapsed time.
#pragma once

#include "Catalogue.h"
#include "ControlContext.h"
#include "DriveLedger.h"
#include "Flow.h"
#include "RunState.h"
#include "SequencerWidgets.h"

#include <QElapsedTimer>
#include <QHash>
#include <QLocale>

#include <array>
#include <functional>
#include <map>
#include <optional>

namespace TavrinIoCtl {

class Sequencer {
  public:
    Sequencer(ControlContext& control, Catalogue& catalogue);

    std::function<void(SequenceState)> onStateChanged;
    // A value read from the ECU (data monitoring, the status answers): name, unit,
    // text, number (NaN for none), milliseconds since the sequence began. Asked
    // only while wantsData says someone listens.
    std::function<void(const QString&, const QString&, const QString&, double, uint32_t)> onDataRead;
    std::function<bool()> wantsData = [] { return false; };
    // Told when no request of the control is on the line any more (busy() turned false).
    std::function<void()> onLineFree;

    // Makes the data reading controls, the drive buttons, the time display and the
    // timers; once, after the catalogue's widgets.
    void buildWidgets(QWidget* surface, const WindowFrames& frames, const TavrinPlatform::TwipsScale& scale)
    {
        buildSequencerWidgets(surface, frames, w_, scale);
    }
    const SequencerWidgets& widgets() const { return w_; }

    // Buttons and timers.
    void cbStartTempo_Click() { startSequence(DriveModeValue::Temporary); }
    void cbStartPerm_Click() { startSequence(DriveModeValue::Permanent); }
    void CbStop_Click();
    void cbEstop_Click();
    void ioCtlTimer_Timer();
    void SetState(SequenceState newState);
    // The state shown again, in the language loaded since.
    void retranslate();
    void LockUserInterface(bool locked);
    // The drive buttons and options that suit the device and whether it runs (none without a device).
    void UpdateDriveButtons(const QString& deviceName, bool running);
    // The start buttons are off while the device shown may still be driven.
    void refreshStartButtons();

    // Start, status and stop requests: each gives the next state once its answer is there.
    Flow<SequenceState> StartDriving();
    Flow<SequenceState> ReadDrivingStatus();
    Flow<SequenceState> StopDriving();

    // The state of the sequence; changed only here.
    const RunState& runState() const { return run_; }

    // What may be driven, and the ways to stop it from outside the sequence.
    const DriveLedger& ledger() const { return ledger_; }
    DriveLedger& ledger() { return ledger_; }
    // Whether a sequence runs (its last tick included); host calls that would
    // change the session or the selection are refused then.
    bool running() const;
    // The control goes: nothing waits any more; every device that may be driven
    // gets its stop (with a session that waits for nobody, the stops go out after
    // the request on the line and nobody is told how they went).
    void stopBeforeGoing(int attempts);
    // The host's Abort: no step is taken again; what may be driven is stopped
    // once, at once (after the request already on the line).
    void Abort();
    // After a failed stop, no sequence running: each device that may still be
    // driven gets its stop again, tried as the user's stop is.
    bool canStopAgain() const;
    void stopAgain();
    // The line went away between requests: said at once with what may still be
    // driven; a running sequence goes to its stop, as for the user's.
    void lineLost(const Failure& failure);
    // Whether a request of the control is on the line or a step waits for one.
    // Meanwhile the window serves its events: the emergency stop and Abort send
    // their stops at once (after that request), a start or a read is not taken,
    // a tick waits, host calls that change the session are refused.
    bool busy() const { return busy_ > 0; }

    // Data monitoring.
    Flow<bool> ReadData();
    void cbReadData_Click();

    // Running indicator and elapsed time.
    void ShowRunning(bool visible);
    void timRun_Timer();
    void ShowElapsedTime();

    // Seconds since the sequence began, in the shortest general form.
    QString elapsedSeconds() const;

  private:
    struct Drive;
    // How one request of the drive went: the next state and, when it was not
    // answered positively, why.
    struct Outcome {
        SequenceState next = SequenceState::Idle;
        std::optional<Failure> failure;
    };
    class BusyMark;
    void startSequence(DriveModeValue mode);
    // Runs the flow as the control's own (busy until it ends).
    void startBusy(Flow<void> flow);
    Flow<void> whileBusy(Flow<void> flow);
    Flow<void> tickFlow();
    Flow<bool> tick();
    Flow<void> emergencyStopNow();
    Flow<void> stopEveryDrivenDevice(int attempts);
    Flow<void> readDataClick(Sorvik3::EcuRef ecu);
    void beginStopsAndLetGo();
    Flow<bool> initStep();
    Flow<bool> startStep();
    Flow<bool> statusStep();
    Flow<void> stopStep();
    Flow<void> emergencyStopStep();
    void idleStep();
    Flow<void> sendTesterPresent();
    Flow<Outcome> drive(const Drive& operation);
    Flow<Outcome> stopDevice(DrivenDevice device);
    Flow<bool> confirmedNotRunning(const DrivenDevice& device);
    Drive stopOperation(const DrivenDevice& device) const;
    Drive statusOperation(const QString& device, DriveModeValue mode) const;
    Flow<std::optional<Failure>> send(Sorvik3::RequestRef request);
    DrivenDevice selectedDevice() const;
    std::optional<Failure> stopRefused(const Drive& operation) const;
    std::optional<Failure> judgeStopped(const Drive& operation);
    bool sharedRequest(const Sorvik3::RequestRef& request) const;
    std::optional<Failure> fillRequest(const Drive& operation);
    SequenceState judgeRunning(const Drive& operation);
    static QString requestName(const Sorvik3::RequestRef& request);
    // The request's last exchange as the log shows it: "sent->received", in hex.
    static QString exchangeText(const Sorvik3::RequestRef& request);
    Sorvik3::DataRef findData(const Sorvik3::RequestRef& request, const QString& name);
    void reportStillDriven(const DrivenDevice& device, const Failure& failure);
    void refreshStatusList(const Sorvik3::RequestRef& request);
    void tellDataRead(const Sorvik3::DataRef& data);
    void log(const QString& line, Show show = Show::LogOnly, int32_t errorCode = 0);
    QString stateWords(SequenceState state) const;
    // A step's words in the control's language (message Messages/Log<key>), English by default.
    // The key is a literal: its address names it.
    QString said(const char* key, const char* english) const;
    uint32_t elapsedMs() const;
    // The emergency stop or Abort came: the sequence's own steps send nothing more.
    bool heldBack() const { return c_.fields.AbortRequested || run_.CurrentState == SequenceState::EStop; }
    const DeviceSelection& selection() const { return catalogue_.selection(); }
    bool knowsDevice(const Sorvik3::DataRef& list, const QString& deviceName) const;

    ControlContext& c_;
    Catalogue& catalogue_;
    SequencerWidgets w_;
    RunState run_;
    // Each step's words, made once per language document: a running test says
    // the same few on every exchange.
    // The state's words too: the status bar shows them after every status read.
    void forgetStaleWords() const;
    mutable QHash<const char*, QString> saidTexts_;
    mutable std::array<std::optional<QString>, static_cast<size_t>(SequenceState::EStop) + 1> stateTexts_;
    mutable quint64 saidLanguage_ = 0;
    std::optional<Failure> lastDriveFailure_;  // why the sequence's last request was not answered positively
    int stopAttempts_ = 0;
    DriveLedger ledger_;
    bool toldStillDriven_ = false;
    int busy_ = 0;
    std::optional<std::pair<uint64_t, QString>> shownTime_;  // the elapsed tenths lbTime shows, and its text
    // When the tick on the line began, and whether its step waited for an answer.
    QElapsedTimer tickBegan_;
    bool tickWaited_ = false;
    bool leavingEmergencyStop_ = false;
    bool emergencyStopping_ = false;  // the emergency stop's own stops are under way
    // Items of the requests looked up during this sequence (none for a miss); the
    // requests are held by the catalogue's selection for as long as the sequence runs.
    std::map<std::pair<const Sorvik3::Request*, QString>, Sorvik3::DataRef> itemsFound_;
    // Last: its flows use the members above and go first.
    FlowOwner flows_;
};

// The running picture moves every this many milliseconds: a full turn of four pictures in 300 ms.
constexpr int kAnimationIntervalMs = 75;
// The sequence's tick: as often as the platform's timer allows.
constexpr int kTickIntervalMs = 1;
// A failed stop is tried this many times in all, a tick apart.
constexpr int kStopAttempts = 3;

}  // namespace TavrinIoCtl
