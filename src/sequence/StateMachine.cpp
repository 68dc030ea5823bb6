#include "Sequencer.h"
#include "Utf8.h"

#include "Utils.h"

#include <utility>

namespace TavrinIoCtl {
namespace {

template <typename Ref>
const Ref& required(const Ref& reference)
{
    if (!reference) throw controlError(ControlError::NoSuchObject);
    return reference;
}

}  // namespace

void Sequencer::log(const QString& line, Show show, int32_t errorCode)
{
    c_.report.LogMessage(line, show, errorCode);
}

uint32_t Sequencer::elapsedMs() const
{
    return TavrinPlatform::elapsedMs(c_.platform.clock(), run_.SequenceStartTime);
}

QString Sequencer::elapsedSeconds() const
{
    return c_.platform.seconds(elapsedMs());
}

void Sequencer::startSequence(DriveModeValue mode)
{
    if (c_.fields.AbortRequested || busy()) return;
    run_.DriveMode = mode;
    run_.MonitorStatusSelected = c_.form.OptionPerm[1]->isChecked();
    run_.TesterPresentSelected = c_.form.OptionPerm[2]->isChecked();
    run_.StopRequested = false;
    run_.EmergencyStopRequested = false;
    stopAttempts_ = 0;
    toldStillDriven_ = false;
    itemsFound_.clear();
    SetState(SequenceState::Init);
    c_.report.ClearLog();
    c_.report.SetBusy(true);
    c_.form.ioCtlTimer->start();
}

void Sequencer::CbStop_Click()
{
    run_.StopRequested = true;
    log(QStringLiteral("User ask stop"));
}

void Sequencer::cbEstop_Click()
{
    run_.EmergencyStopRequested = true;
    SetState(SequenceState::EStop);
    log(QStringLiteral("User emergency stop"));
    // A click that comes while a call waits on the line: the stops go out as soon
    // as it returns, and a wait through "response pending" is given up at once.
    if (busy()) {
        estopAfterCall_ = true;
        // The emergency stop's own stops are not given up for it.
        if (c_.fields.Session && !emergencyStopping_) c_.fields.Session->InterruptWait();
        return;
    }
    whileBusy([&] { emergencyStopNow(); });
}

void Sequencer::emergencyStopNow()
{
    emergencyStopping_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{emergencyStopping_};
    // Closing the communication ends a temporary drive only: a device under
    // long-term adjustment would run on, so every device that may be driven
    // gets its stop request first, in whatever state the sequence is.
    // Whatever that stop does, the communication is still closed.
    stopEveryDrivenDevice();
    const auto& session = required(c_.fields.Session);
    if (!session->CommunicationStopped()) {
        log(QStringLiteral(" Stop communication with ECU"));
        session->StopCommunication();
    }
}

void Sequencer::stopEveryDrivenDevice(int attempts)
{
    const std::vector<DrivenDevice> driven = ledger_.devices();
    for (const auto& device : driven) {
        PendingError().run([&] {
            for (int attempt = 0; attempt < attempts && ledger_.holds(device); ++attempt)
                stopDevice(device);
            if (ledger_.holds(device))
                reportStillDriven(device, lastDriveFailure_.value_or(Failure{number(ControlError::StillDriven), {}}));
        });
    }
}

void Sequencer::Abort()
{
    c_.form.ioCtlTimer->stop();
    if (c_.fields.AbortRequested) return;
    c_.fields.AbortRequested = true;
    if (busy())
        stopAfterCall_ = true;
    else
        whileBusy([&] { stopEveryDrivenDevice(); });
}

void Sequencer::whileBusy(const std::function<void()>& calls)
{
    if (busy_++ == 0 && onBusyChanged) onBusyChanged(true);
    struct Done {
        Sequencer& s;
        ~Done()
        {
            if (--s.busy_ == 0 && s.onBusyChanged) s.onBusyChanged(false);
        }
    };
    {
        Done done{*this};
        calls();
    }
    if (busy_ > 0) return;
    // What came while a call waited is done now, the emergency stop first.
    if (std::exchange(estopAfterCall_, false)) whileBusy([&] { emergencyStopNow(); });
    if (std::exchange(stopAfterCall_, false)) whileBusy([&] { stopEveryDrivenDevice(); });
}

bool Sequencer::running() const
{
    return !c_.fields.AbortRequested && (run_.CurrentState != SequenceState::Idle || c_.form.ioCtlTimer->isActive());
}

void Sequencer::ioCtlTimer_Timer()
{
    // A tick never comes into a call that waits: the timer fires again later.
    if (c_.fields.AbortRequested || busy()) return;
    c_.form.ioCtlTimer->stop();
    bool rearm = true;
    whileBusy([&] { rearm = tick(); });
    if (rearm && !c_.fields.AbortRequested) c_.form.ioCtlTimer->start();
}

bool Sequencer::tick()
{
    bool rearm = true;
    const bool held = run_.EmergencyStopRequested;  // only the EStop step runs then
    switch (run_.CurrentState) {
    case SequenceState::Idle:
        idleStep();
        rearm = false;
        break;
    case SequenceState::Init: rearm = held || initStep(); break;
    case SequenceState::Start: rearm = held || startStep(); break;
    case SequenceState::Status: rearm = held || statusStep(); break;
    case SequenceState::Stop:
        if (!held) stopStep();
        break;
    case SequenceState::EStop: emergencyStopStep(); break;
    default: break;
    }
    return rearm;
}

void Sequencer::idleStep()
{
    // The last word of a sequence whose device may still be driven says so.
    const DrivenDevice device = selectedDevice();
    if (ledger_.holds(device) && !toldStillDriven_) {
        reportStillDriven(device, lastDriveFailure_.value_or(Failure{number(ControlError::StillDriven),
                                                                     QStringLiteral("no stop was confirmed")}));
    }
    ShowElapsedTime();
    log(QStringLiteral("Idle : ") + elapsedSeconds());
    c_.report.SetBusy(false);
}

bool Sequencer::initStep()
{
    run_.SequenceStartTime = c_.platform.clock();
    ShowElapsedTime();
    log(QStringLiteral("Init ECU : ") + elapsedSeconds(), Show::InStatus);
    PendingError skip;
    skip.run([&] { required(selection().SelectedEcu)->Init(); });
    if (run_.EmergencyStopRequested) return true;
    if (auto error = skip.take()) {
        log(QStringLiteral("Init error : ") + error->description, Show::InStatus, error->number);
        SetState(SequenceState::Idle);
        return true;
    }
    if (!selection().StartSessionRequest) {
        SetState(SequenceState::Start);
        return true;
    }
    skip.run([&] {
        log(QStringLiteral("  Start Session : ") + text(selection().StartSessionRequest->FrameText(true)),
            Show::InStatus);
    });
    skip.clear();
    skip.run([&] { selection().StartSessionRequest->Send(); });
    if (c_.fields.AbortRequested) return false;
    if (run_.EmergencyStopRequested) return true;
    if (auto error = skip.take()) {
        log(QStringLiteral("Start Session error : ") + error->description, Show::InStatus, error->number);
        SetState(SequenceState::Idle);
    } else {
        SetState(SequenceState::Start);
    }
    return true;
}

bool Sequencer::startStep()
{
    ShowElapsedTime();
    log(QStringLiteral("Start driving : ") + elapsedSeconds(), Show::InStatus);
    SetState(StartDriving());
    if (c_.fields.AbortRequested) return false;
    run_.LastTesterPresentTime = c_.platform.clock();
    return true;
}

bool Sequencer::statusStep()
{
    if (run_.StopRequested) {
        SetState(SequenceState::Stop);
        return true;
    }
    ShowElapsedTime();
    if (run_.EmergencyStopRequested) return true;
    if (run_.MonitorStatusSelected) {
        log(QStringLiteral("Status : ") + elapsedSeconds());
        SetState(ReadDrivingStatus());
        if (c_.fields.AbortRequested) return false;
    } else if (run_.TesterPresentSelected &&
               TavrinPlatform::elapsedMs(c_.platform.clock(), run_.LastTesterPresentTime) > 2000) {
        sendTesterPresent();
        if (c_.fields.AbortRequested) return false;
    }
    if (run_.EmergencyStopRequested) return true;
    if (c_.form.ckReadData->isChecked() && !ReadData()) c_.form.ckReadData->setChecked(false);
    return true;
}

void Sequencer::sendTesterPresent()
{
    PendingError skip;
    skip.run([&] { required(selection().TesterPresentRequest)->Send(); });
    if (c_.fields.AbortRequested) return;
    // The time is taken after the answer; a failed tester present is not reported.
    skip.run([&] {
        const auto& request = required(selection().TesterPresentRequest);
        log(elapsedSeconds() + QStringLiteral(" : Tester present = ") + text(request->FrameText(true)) +
            QStringLiteral("->") + text(request->FrameText(false)));
    });
    run_.LastTesterPresentTime = c_.platform.clock();
}

void Sequencer::stopStep()
{
    ShowElapsedTime();
    log(QStringLiteral("Stop : ") + elapsedSeconds());
    const SequenceState next = StopDriving();
    if (run_.EmergencyStopRequested) return;
    // A failed stop stays in Stop and is tried again on the next tick, a few times.
    if (lastDriveFailure_ && ++stopAttempts_ < kStopAttempts) return;
    if (lastDriveFailure_) reportStillDriven(selectedDevice(), *lastDriveFailure_);
    stopAttempts_ = 0;
    SetState(next);
}

void Sequencer::reportStillDriven(const DrivenDevice& device, const Failure& failure)
{
    if (device.ecu == selection().SelectedEcu && device.device == selection().SelectedDeviceName)
        toldStillDriven_ = true;
    log(QStringLiteral("Device '%1' may still be driven: the stop failed: %2").arg(device.device, failure.description),
        Show::InStatus, failure.number ? failure.number : number(ControlError::StillDriven));
}

void Sequencer::emergencyStopStep()
{
    log(QStringLiteral("Emergency Stop"));
    PendingError skip;
    skip.run([&] { required(c_.fields.Session)->StopCommunication(); });
    ShowElapsedTime();
    leavingEmergencyStop_ = true;
    SetState(SequenceState::Idle);
    leavingEmergencyStop_ = false;
}

void Sequencer::SetState(SequenceState newState)
{
    // A step whose call returns after the emergency stop came leaves the state to it.
    if (run_.EmergencyStopRequested && run_.CurrentState == SequenceState::EStop && newState != SequenceState::EStop &&
        !leavingEmergencyStop_)
        return;
    c_.form.sbMain->panel(QStringLiteral("DIAG"))->setText(stateText(newState));
    if (newState == SequenceState::Idle) {
        LockUserInterface(false);
        catalogue_.UpdateDriveButtons(selection().SelectedDeviceName, false);
        ShowRunning(false);
    } else if (newState == SequenceState::Init) {
        LockUserInterface(true);
        ShowRunning(true);
        catalogue_.UpdateDriveButtons(selection().SelectedDeviceName, true);
    }
    const bool changed = run_.CurrentState != newState;
    run_.CurrentState = newState;
    if (changed && onStateChanged) onStateChanged(newState);
}

void Sequencer::LockUserInterface(bool locked)
{
    Form& f = c_.form;
    for (QWidget* w :
         {static_cast<QWidget*>(f.lvFunctions), static_cast<QWidget*>(f.lvDevices), static_cast<QWidget*>(f.lvData),
          static_cast<QWidget*>(f.cbReadData), static_cast<QWidget*>(f.ckReadData)}) {
        w->setEnabled(!locked);
    }
    f.DiSessionName->setWriteEnabled(!locked);
    for (int i = 1; i < f.DeviceParam.size(); ++i)
        f.DeviceParam[i]->setWriteEnabled(!locked);
}

}  // namespace TavrinIoCtl
