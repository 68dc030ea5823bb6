// Output-control sequencing: the start and stop buttons, the timer-driven state
// machine, the start / status / stop requests, data monitoring, and the running
// indicator with the elapsed time.
#pragma once

#include "Catalogue.h"
#include "ControlContext.h"
#include "DriveLedger.h"
#include "RunState.h"

#include <QLocale>

#include <functional>
#include <map>
#include <optional>

namespace TavrinIoCtl {

class Sequencer {
  public:
    Sequencer(ControlContext& control, Catalogue& catalogue) : c_(control), catalogue_(catalogue) {}

    std::function<void(SequenceState)> onStateChanged;
    // A value read from the ECU (data monitoring, the status answers): name, unit,
    // text, number (NaN for none), milliseconds since the sequence began. Asked
    // only while wantsData says someone listens.
    std::function<void(const QString&, const QString&, const QString&, double, uint32_t)> onDataRead;
    std::function<bool()> wantsData = [] { return false; };
    // Told when the first session call starts waiting and when the last returns.
    std::function<void(bool)> onBusyChanged;

    // Buttons and timers.
    void cbStartTempo_Click() { startSequence(DriveModeValue::Temporary); }
    void cbStartPerm_Click() { startSequence(DriveModeValue::Permanent); }
    void CbStop_Click();
    void cbEstop_Click();
    void ioCtlTimer_Timer();
    void SetState(SequenceState newState);
    void LockUserInterface(bool locked);

    // Start, status and stop requests: each returns the next state.
    SequenceState StartDriving();
    SequenceState ReadDrivingStatus();
    SequenceState StopDriving();

    // The state of the sequence; changed only here.
    const RunState& runState() const { return run_; }

    // What may be driven, and the ways to stop it from outside the sequence.
    const DriveLedger& ledger() const { return ledger_; }
    DriveLedger& ledger() { return ledger_; }
    // Whether a sequence runs (its last tick included); host calls that would
    // change the session or the selection are refused then.
    bool running() const;
    // Sends the stop of every device that may be driven, once each, and says
    // which may still be driven (the emergency stop, the host's Abort, the end).
    void stopEveryDrivenDevice(int attempts = 1);
    // The same when the control goes, as one call that waits (nothing is deleted under it).
    void stopBeforeGoing(int attempts)
    {
        whileBusy([&] { stopEveryDrivenDevice(attempts); });
    }
    // The host's Abort: no step is taken again; what may be driven is stopped
    // once, at once or, when Abort comes during a tick's request, when that returns.
    void Abort();
    // Whether a session call of the control's waits on the line. A session of
    // ours serves the window's events meanwhile, so clicks and host calls may
    // come: the emergency stop and Abort are acted on as soon as the call
    // returns, a start or a read is not taken, a tick waits.
    bool busy() const { return busy_ > 0; }

    // Data monitoring.
    bool ReadData();
    void cbReadData_Click();

    // Running indicator and elapsed time.
    void ShowRunning(bool visible);
    void timRun_Timer();
    void ShowElapsedTime();

    // Seconds since the sequence began, in the shortest general form.
    QString elapsedSeconds() const;

  private:
    struct Drive;
    void startSequence(DriveModeValue mode);
    bool tick();
    void whileBusy(const std::function<void()>& calls);
    void emergencyStopNow();
    bool initStep();
    bool startStep();
    bool statusStep();
    void stopStep();
    void emergencyStopStep();
    void idleStep();
    void sendTesterPresent();
    SequenceState drive(const Drive& operation);
    DrivenDevice selectedDevice() const;
    SequenceState stopDevice(const DrivenDevice& device);
    std::optional<Failure> stopRefused(const Drive& operation) const;
    std::optional<Failure> judgeStopped(const Drive& operation);
    bool sharedRequest(const Sorvik3::RequestRef& request) const;
    std::optional<Failure> fillRequest(const Drive& operation);
    SequenceState judgeRunning(const Drive& operation);
    static QString requestName(const Sorvik3::RequestRef& request);
    Sorvik3::DataRef findData(const Sorvik3::RequestRef& request, const QString& name);
    void reportStillDriven(const DrivenDevice& device, const Failure& failure);
    void refreshStatusList(const Sorvik3::RequestRef& request);
    void tellDataRead(const Sorvik3::DataRef& data);
    void log(const QString& line, Show show = Show::LogOnly, int32_t errorCode = 0);
    uint32_t elapsedMs() const;
    const DeviceSelection& selection() const { return catalogue_.selection(); }

    ControlContext& c_;
    Catalogue& catalogue_;
    RunState run_;
    std::optional<Failure> lastDriveFailure_;  // why the last request was not answered positively
    int stopAttempts_ = 0;
    DriveLedger ledger_;
    bool toldStillDriven_ = false;
    int busy_ = 0;
    bool stopAfterCall_ = false;   // Abort came while a call waited on the line
    bool estopAfterCall_ = false;  // so did the emergency stop
    bool leavingEmergencyStop_ = false;
    bool emergencyStopping_ = false;  // the emergency stop's own stops are under way
    // Items of the requests looked up during this sequence (none for a miss); the
    // requests are held by the catalogue's selection for as long as the sequence runs.
    std::map<std::pair<const Sorvik3::Request*, QString>, Sorvik3::DataRef> itemsFound_;
};

// The running picture moves every this many milliseconds: a full turn of four pictures in 300 ms.
constexpr int kAnimationIntervalMs = 75;
// A failed stop is tried this many times in all, a tick apart.
constexpr int kStopAttempts = 3;

}  // namespace TavrinIoCtl
