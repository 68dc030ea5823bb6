#include "Sequencer.h"
#include "Utf8.h"

#include "SessionCall.h"
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

Sequencer::Sequencer(ControlContext& control, Catalogue& catalogue) : c_(control), catalogue_(catalogue)
{
    // The drive buttons follow the device the catalogue shows.
    catalogue_.onDeviceShown = [this](const QString& device) { UpdateDriveButtons(device, false); };
    // A flow's boundary, as a slot's: what escapes it is reported, never thrown into the event loop.
    flows_.onFailure = [this](std::exception_ptr failure) {
        c_.report.guard("sequence", [&] { std::rethrow_exception(failure); });
    };
}

void Sequencer::log(const QString& line, Show show, int32_t errorCode)
{
    c_.report.LogMessage(line, show, errorCode);
}

void Sequencer::forgetStaleWords() const
{
    const auto generation = catalogue_.language().generation();
    if (saidLanguage_ == generation) return;
    saidTexts_.clear();
    for (auto& words : stateTexts_)
        words.reset();
    saidLanguage_ = generation;
}

QString Sequencer::said(const char* key, const char* english) const
{
    forgetStaleWords();
    const auto known = saidTexts_.constFind(key);
    if (known != saidTexts_.cend()) return *known;
    return *saidTexts_.insert(
        key, catalogue_.language().GetMessage(english, QStringLiteral("Messages/Log") + QLatin1String(key)));
}

QString Sequencer::stateWords(SequenceState state) const
{
    forgetStaleWords();
    auto& words = stateTexts_.at(static_cast<size_t>(state));
    if (!words) words = c_.report.message(QStringLiteral("Messages/State") + stateName(state), stateText(state));
    return *words;
}

void Sequencer::retranslate()
{
    c_.report.showState(stateWords(run_.CurrentState));
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
    run_.MonitorStatusSelected = w_.OptionPerm[1]->isChecked();
    run_.TesterPresentSelected = w_.OptionPerm[2]->isChecked();
    run_.StopRequested = false;
    run_.EmergencyStopRequested = false;
    stopAttempts_ = 0;
    toldStillDriven_ = false;
    itemsFound_.clear();
    SetState(SequenceState::Init);
    c_.report.ClearLog();
    c_.report.SetBusy(true);
    w_.ioCtlTimer->start(kTickIntervalMs);
}

void Sequencer::CbStop_Click()
{
    run_.StopRequested = true;
    log(said("UserStop", "User ask stop"));
}

// Counts the control's flows that wait; the count goes down also when a flow is
// destroyed with the control.
class Sequencer::BusyMark {
  public:
    explicit BusyMark(Sequencer& sequencer) : s_(sequencer) { ++s_.busy_; }
    ~BusyMark()
    {
        if (--s_.busy_ == 0 && s_.onLineFree) s_.onLineFree();
    }
    BusyMark(const BusyMark&) = delete;
    BusyMark& operator=(const BusyMark&) = delete;

  private:
    Sequencer& s_;
};

void Sequencer::startBusy(Flow<void> flow)
{
    flows_.start(whileBusy(std::move(flow)));
}

Flow<void> Sequencer::whileBusy(Flow<void> flow)
{
    const BusyMark mark(*this);
    co_await std::move(flow);
}

Flow<std::optional<Failure>> Sequencer::send(Sorvik3::RequestRef request)
{
    SessionCall call = SessionCall::send(flows_, c_.fields.Session, request);
    auto failure = co_await call;
    co_return failure;
}

bool Sequencer::running() const
{
    return !c_.fields.AbortRequested && (run_.CurrentState != SequenceState::Idle || w_.ioCtlTimer->isActive());
}

void Sequencer::ioCtlTimer_Timer()
{
    // A tick never comes into a step that waits: the timer fires again later.
    if (c_.fields.AbortRequested || busy()) return;
    w_.ioCtlTimer->stop();
    tickBegan_.start();
    tickWaited_ = false;
    startBusy(tickFlow());
    // Still busy: the step waits for an answer and the thread is free meanwhile.
    tickWaited_ = busy();
}

Flow<void> Sequencer::tickFlow()
{
    const bool rearm = co_await tick();
    if (!rearm || c_.fields.AbortRequested) co_return;
    // A step that waited on the line longer than one interval left the thread free
    // all that time: the next tick comes at once instead of after a further wait.
    const bool freedLong = tickWaited_ && tickBegan_.hasExpired(kTickIntervalMs);
    w_.ioCtlTimer->setInterval(freedLong ? 0 : kTickIntervalMs);
    w_.ioCtlTimer->start();
}

Flow<bool> Sequencer::tick()
{
    bool rearm = true;
    const bool held = run_.EmergencyStopRequested;  // only the EStop step runs then
    switch (run_.CurrentState) {
    case SequenceState::Idle:
        idleStep();
        rearm = false;
        break;
    case SequenceState::Init:
        if (!held) rearm = co_await initStep();
        break;
    case SequenceState::Start:
        if (!held) rearm = co_await startStep();
        break;
    case SequenceState::Status:
        if (!held) rearm = co_await statusStep();
        break;
    case SequenceState::Stop:
        if (!held) co_await stopStep();
        break;
    case SequenceState::EStop: co_await emergencyStopStep(); break;
    default: break;
    }
    co_return rearm;
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
    log(said("Idle", "Idle : ") + elapsedSeconds());
    c_.report.SetBusy(false);
}

Flow<bool> Sequencer::initStep()
{
    run_.SequenceStartTime = c_.platform.clock();
    ShowElapsedTime();
    log(said("InitEcu", "Init ECU : ") + elapsedSeconds(), Show::InStatus);
    std::optional<Failure> error;
    if (const auto& ecu = selection().SelectedEcu) {
        SessionCall call = SessionCall::init(flows_, c_.fields.Session, ecu);
        error = co_await call;
    } else {
        error = failureOf(controlError(ControlError::NoSuchObject));
    }
    if (c_.fields.AbortRequested) co_return false;
    if (run_.EmergencyStopRequested) co_return true;
    if (error) {
        log(said("InitError", "Init error : ") + error->description, Show::InStatus, error->number);
        SetState(SequenceState::Idle);
        co_return true;
    }
    const auto request = selection().StartSessionRequest;
    if (!request) {
        SetState(SequenceState::Start);
        co_return true;
    }
    PendingError skip;
    skip.run([&] { log(said("StartSession", "  Start Session : ") + text(request->FrameText(true)), Show::InStatus); });
    error = co_await send(request);
    if (c_.fields.AbortRequested) co_return false;
    if (run_.EmergencyStopRequested) co_return true;
    if (error) {
        log(said("StartSessionError", "Start Session error : ") + error->description, Show::InStatus, error->number);
        SetState(SequenceState::Idle);
    } else {
        SetState(SequenceState::Start);
    }
    co_return true;
}

Flow<bool> Sequencer::startStep()
{
    ShowElapsedTime();
    log(said("StartStep", "Start driving : ") + elapsedSeconds(), Show::InStatus);
    const SequenceState next = co_await StartDriving();
    SetState(next);
    if (c_.fields.AbortRequested) co_return false;
    run_.LastTesterPresentTime = c_.platform.clock();
    co_return true;
}

Flow<bool> Sequencer::statusStep()
{
    if (run_.StopRequested) {
        SetState(SequenceState::Stop);
        co_return true;
    }
    ShowElapsedTime();
    if (run_.EmergencyStopRequested) co_return true;
    if (run_.MonitorStatusSelected) {
        log(said("StatusStep", "Status : ") + elapsedSeconds());
        const SequenceState next = co_await ReadDrivingStatus();
        SetState(next);
        if (c_.fields.AbortRequested) co_return false;
    } else if (run_.TesterPresentSelected &&
               TavrinPlatform::elapsedMs(c_.platform.clock(), run_.LastTesterPresentTime) > 2000) {
        co_await sendTesterPresent();
        if (c_.fields.AbortRequested) co_return false;
    }
    if (run_.EmergencyStopRequested) co_return true;
    if (w_.ckReadData->isChecked()) {
        const bool read = co_await ReadData();
        if (!read) w_.ckReadData->setChecked(false);
    }
    co_return true;
}

Flow<void> Sequencer::sendTesterPresent()
{
    const auto request = selection().TesterPresentRequest;
    if (request) co_await send(request);
    if (c_.fields.AbortRequested) co_return;
    // The time is taken after the answer; a failed tester present is not reported.
    PendingError().run([&] {
        // Checked first: the operands of one expression may be evaluated in any order.
        const auto& sent = required(request);
        log(elapsedSeconds() + said("TesterPresent", " : Tester present = ") + exchangeText(sent));
    });
    run_.LastTesterPresentTime = c_.platform.clock();
}

Flow<void> Sequencer::stopStep()
{
    ShowElapsedTime();
    log(said("StopStep", "Stop : ") + elapsedSeconds());
    const SequenceState next = co_await StopDriving();
    if (run_.EmergencyStopRequested) co_return;
    // A failed stop stays in Stop and is tried again on the next tick, a few times.
    if (lastDriveFailure_ && ++stopAttempts_ < kStopAttempts) co_return;
    if (lastDriveFailure_) reportStillDriven(selectedDevice(), *lastDriveFailure_);
    stopAttempts_ = 0;
    SetState(next);
}

void Sequencer::reportStillDriven(const DrivenDevice& device, const Failure& failure)
{
    if (device.ecu == selection().SelectedEcu && device.device == selection().SelectedDeviceName)
        toldStillDriven_ = true;
    log(said("StillDriven", "Device '%1' may still be driven: the stop failed: %2")
            .arg(device.device, failure.description),
        Show::InStatus, failure.number ? failure.number : number(ControlError::StillDriven));
}

Flow<void> Sequencer::emergencyStopStep()
{
    log(said("EmergencyStop", "Emergency Stop"));
    if (c_.fields.Session) {
        SessionCall call = SessionCall::stopCommunication(flows_, c_.fields.Session);
        co_await call;
    }
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
    c_.report.showState(stateWords(newState));
    if (newState == SequenceState::Idle) {
        catalogue_.showValuesStale(true);
        LockUserInterface(false);
        UpdateDriveButtons(selection().SelectedDeviceName, false);
        ShowRunning(false);
    } else if (newState == SequenceState::Init) {
        catalogue_.showValuesStale(false);
        LockUserInterface(true);
        ShowRunning(true);
        UpdateDriveButtons(selection().SelectedDeviceName, true);
    }
    const bool changed = run_.CurrentState != newState;
    run_.CurrentState = newState;
    if (changed && onStateChanged) onStateChanged(newState);
}

void Sequencer::LockUserInterface(bool locked)
{
    catalogue_.lockChoice(locked);
    w_.cbReadData->setEnabled(!locked);
    w_.ckReadData->setEnabled(!locked);
}

}  // namespace TavrinIoCtl
