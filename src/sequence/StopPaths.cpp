// The ways to stop from outside the sequence's own steps: the emergency stop,
// the host's Abort and the control's end. None waits for anything but the
// request already on the line.
#include "Sequencer.h"

#include "SessionCall.h"

namespace TavrinIoCtl {

void Sequencer::cbEstop_Click()
{
    run_.EmergencyStopRequested = true;
    SetState(SequenceState::EStop);
    log(said("UserEmergencyStop", "User emergency stop"));
    // Its stops are under way already: a second click adds nothing.
    if (emergencyStopping_) return;
    // A request waiting through "response pending" is given up at once; the
    // stops go out right after the request on the line.
    if (busy() && c_.fields.Session) c_.fields.Session->InterruptWait();
    startBusy(emergencyStopNow());
}

void Sequencer::lineLost(const Failure& failure)
{
    QString line = said("LineLost", "Line lost : ") + failure.description;
    if (!ledger_.empty()) line += said("LineLostDriven", " (may still be driven: %1)").arg(ledger_.names().join(", "));
    log(line, Show::InStatus, failure.number);
    // Nothing else would find out before the next request: with no monitoring that is the stop.
    if (running() && !heldBack()) run_.StopRequested = true;
}

Flow<void> Sequencer::emergencyStopNow()
{
    emergencyStopping_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{emergencyStopping_};
    // Closing the communication ends a temporary drive only: a device under
    // long-term adjustment would run on, so every device that may be driven
    // gets its stop request first, in whatever state the sequence is. A failed
    // stop is tried again, as the user's stop is. Whatever the stops do, the
    // communication is still closed.
    co_await stopEveryDrivenDevice(kStopAttempts);
    // What fails from here is told as a failure of the click.
    const auto tell = [this](const Failure& failure) {
        c_.report.guard("cbEstop_Click",
                        [&] { throw Sorvik3::Error(failure.number, failure.description.toStdString()); });
    };
    const auto session = c_.fields.Session;
    if (!session) co_return tell(failureOf(controlError(ControlError::NoSuchObject)));
    bool stopped = true;
    if (const auto refused = attempt([&] { stopped = session->CommunicationStopped(); })) co_return tell(*refused);
    if (stopped) co_return;
    log(said("StopCommunication", " Stop communication with ECU"));
    SessionCall call = SessionCall::stopCommunication(flows_, session);
    const auto failure = co_await call;
    if (failure) tell(*failure);
}

Flow<void> Sequencer::stopEveryDrivenDevice(int attempts)
{
    const std::vector<DrivenDevice> driven = ledger_.devices();
    for (const auto& device : driven) {
        std::optional<Failure> last;
        for (int attempt = 0; attempt < attempts && ledger_.holds(device); ++attempt) {
            const Outcome outcome = co_await stopDevice(device);
            last = outcome.failure;
        }
        if (ledger_.holds(device))
            reportStillDriven(device, last.value_or(Failure{number(ControlError::StillDriven), {}}));
    }
}

void Sequencer::Abort()
{
    w_.ioCtlTimer->stop();
    if (c_.fields.AbortRequested) return;
    c_.fields.AbortRequested = true;
    // The sequence's step on the line takes no further step when it returns.
    startBusy(stopEveryDrivenDevice(1));
}

bool Sequencer::canStopAgain() const
{
    return !ledger_.empty() && !running() && !busy() && !c_.fields.AbortRequested;
}

void Sequencer::stopAgain()
{
    if (!canStopAgain()) return;
    log(said("UserStopAgain", "User stop of the devices that may still be driven : ") +
        ledger_.names().join(QStringLiteral(", ")));
    startBusy(stopEveryDrivenDevice(kStopAttempts));
}

void Sequencer::stopBeforeGoing(int attempts)
{
    flows_.destroyAll();
    Sorvik3::AsyncCalls* async = nullptr;
    if (c_.fields.Session) PendingError().run([&] { async = c_.fields.Session->Async(); });
    if (async) return beginStopsAndLetGo();
    // A library that makes its callers wait: the stops are made now, and told.
    flows_.start(stopEveryDrivenDevice(attempts));
}

}  // namespace TavrinIoCtl
