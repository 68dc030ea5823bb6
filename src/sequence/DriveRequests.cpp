#include "Sequencer.h"
#include "Utf8.h"

#include "Utils.h"

#include <QStringBuilder>

namespace TavrinIoCtl {
// The three requests follow one pattern and differ only in these.
struct Sequencer::Drive {
    Sorvik3::RequestRef request;
    int32_t command = -1;
    QString device;  // written into the control list of the mode
    DriveModeValue mode = DriveModeValue::Temporary;
    bool shared = false;
    QString exchangeLabel;
    QString errorLabel;
    SequenceState whenAbsent = SequenceState::Idle;
    SequenceState afterSendError = SequenceState::Idle;
    bool judgeStatus = true;
    SequenceState whenRunning = SequenceState::Status;
    SequenceState whenNotRunning = SequenceState::Idle;
    SequenceState whenUnjudged = SequenceState::Stop;
    int32_t runningValue = -1;
    const DrivenDevice* stops = nullptr;  // the device a stop is for
    Show errors = Show::InStatus;         // a check's failure leaves the status bar to what it checks
};

namespace {

// A negative answer is the ECU's refusal: it did not act on the request.
// Anything else (no answer, a late, cut or garbled one) may follow a request
// the ECU received and acted on.
bool refusedByEcu(const Failure& failure)
{
    return failure.number >= 1 && failure.number <= 255;
}

}  // namespace

DrivenDevice Sequencer::selectedDevice() const
{
    const bool temporary = run_.DriveMode == DriveModeValue::Temporary;
    return {.ecu = selection().SelectedEcu,
            .device = selection().SelectedDeviceName,
            .mode = run_.DriveMode,
            .stopRequest = selection().DeviceStopRequest,
            .sharedStop = sharedRequest(selection().DeviceStopRequest),
            .stopCommand = selection().StopCommandValue,
            .startCommand = temporary ? selection().StartTemporaryValue : selection().StartPermanentValue,
            .runningValue = selection().RunningValue};
}

Flow<SequenceState> Sequencer::StartDriving()
{
    const DrivenDevice started = selectedDevice();
    const bool heldBefore = ledger_.holds(started);
    const Drive start{.request = selection().DeviceStartRequest,
                      .command = started.startCommand,
                      .device = started.device,
                      .mode = started.mode,
                      .shared = sharedRequest(selection().DeviceStartRequest),
                      .exchangeLabel = said("StartDriving", "  Start driving : "),
                      .errorLabel = said("StartDrivingError", "  Start driving error : "),
                      .whenAbsent = SequenceState::Idle,
                      .afterSendError = SequenceState::Idle,
                      .judgeStatus = true,
                      .whenRunning = SequenceState::Status,
                      .whenNotRunning = SequenceState::Idle,
                      .whenUnjudged = SequenceState::Stop,
                      .runningValue = selection().RunningValue,
                      .stops = &started};
    // A named operation, not a temporary in the awaited call: one that lives across the wait is safer so.
    const Outcome outcome = co_await drive(start);
    lastDriveFailure_ = outcome.failure;
    SequenceState next = outcome.next;
    if (!heldBefore && outcome.failure && refusedByEcu(*outcome.failure)) {
        const bool notRunning = co_await confirmedNotRunning(started);
        if (notRunning) ledger_.stopped(started);
    }
    // A start that may have been acted on is stopped, never left.
    if (next == SequenceState::Idle && ledger_.holds(started)) next = SequenceState::Stop;
    co_return next;
}

// The status request of the selected device, as the sequence's Status step sends it.
Sequencer::Drive Sequencer::statusOperation(const QString& device, DriveModeValue mode) const
{
    return {.request = selection().DeviceStatusRequest,
            .command = selection().StatusCommandValue,
            .device = device,
            .mode = mode,
            .shared = sharedRequest(selection().DeviceStatusRequest),
            .exchangeLabel = said("StatusDriving", "  status driving : "),
            .errorLabel = said("StatusDrivingError", "  Read status driving error : "),
            .whenAbsent = SequenceState::Stop,
            .afterSendError = SequenceState::Stop,
            .judgeStatus = true,
            .whenRunning = SequenceState::Status,
            .whenNotRunning = SequenceState::Stop,
            .whenUnjudged = SequenceState::Stop,
            .runningValue = selection().RunningValue};
}

// An ECU may act on a start and refuse it all the same: where the device has a
// status request, one status read says whether the refusal holds.
Flow<bool> Sequencer::confirmedNotRunning(const DrivenDevice& device)
{
    if (!selection().DeviceStatusRequest) co_return true;
    Drive status = statusOperation(device.device, device.mode);
    status.afterSendError = SequenceState::Idle;  // no fallback to "None": the sequence is not running
    status.whenRunning = SequenceState::Stop;
    status.whenNotRunning = SequenceState::Idle;
    status.runningValue = device.runningValue;
    status.errors = Show::LogOnly;
    const Outcome outcome = co_await drive(status);
    // An ECU that refuses the status as it refused the start knows no such device running.
    if (outcome.failure) co_return refusedByEcu(*outcome.failure);
    co_return outcome.next == SequenceState::Idle;
}

Flow<SequenceState> Sequencer::ReadDrivingStatus()
{
    // A device that was started and cannot be asked is stopped, never left.
    const Drive status = statusOperation(selection().SelectedDeviceName, run_.DriveMode);
    const Outcome outcome = co_await drive(status);
    lastDriveFailure_ = outcome.failure;
    co_return outcome.next;
}

Flow<SequenceState> Sequencer::StopDriving()
{
    const DrivenDevice device = selectedDevice();
    const Outcome outcome = co_await stopDevice(device);
    lastDriveFailure_ = outcome.failure;
    co_return outcome.next;
}

Sequencer::Drive Sequencer::stopOperation(const DrivenDevice& device) const
{
    return {.request = device.stopRequest,
            .command = device.stopCommand,
            .device = device.device,
            .mode = device.mode,
            .shared = device.sharedStop,
            .exchangeLabel = said("StopDriving", "  Stop driving : "),
            .errorLabel = said("StopDrivingError", "  Stop driving error : "),
            .whenAbsent = SequenceState::Idle,
            .afterSendError = SequenceState::Idle,
            .judgeStatus = false,
            .whenRunning = SequenceState::Idle,
            .whenNotRunning = SequenceState::Idle,
            .whenUnjudged = SequenceState::Idle,
            .runningValue = device.runningValue,
            .stops = &device};
}

// The stop of a device as it was started; it leaves the ledger only when the
// ECU's answer is judged a stop. The device is a copy: the ledger may change meanwhile.
Flow<Sequencer::Outcome> Sequencer::stopDevice(DrivenDevice device)
{
    const Drive stop = stopOperation(device);
    Outcome outcome = co_await drive(stop);
    if (outcome.failure && outcome.failure->number == Sorvik3::kControlTakenBackByEcu) {
        // The ECU's own word that the output is its again: told as that, never as our confirmed stop.
        QString ecu;
        PendingError().run([&] { ecu = text(device.ecu->Name()); });
        log(said("ControlTakenBack", "  ECU '%1' took control of '%2' back itself: its diagnostic session ended")
                .arg(ecu, device.device),
            Show::InStatus, Sorvik3::kControlTakenBackByEcu);
        outcome.failure.reset();
        ledger_.stopped(device);
    } else if (!outcome.failure) {
        ledger_.stopped(device);
    }
    co_return outcome;
}

// Each stop is begun and left to the session library, which sends it after
// the request on the line even though nobody is left to hear the answer.
void Sequencer::beginStopsAndLetGo()
{
    Sorvik3::AsyncCalls* async = c_.fields.Session->Async();
    for (const auto& device : ledger_.devices()) {
        PendingError().run([&] {
            if (!device.stopRequest || fillRequest(stopOperation(device))) return;
            async->BeginSend(device.stopRequest, {});
        });
    }
}

// A stop whose command would start the device is not sent.
std::optional<Failure> Sequencer::stopRefused(const Drive& op) const
{
    if (op.stops == nullptr || op.judgeStatus || op.command < 0 || op.command != op.stops->startCommand)
        return std::nullopt;
    return Failure{number(ControlError::StopIsStart),
                   QStringLiteral("'%1' not sent: its stop command %2 is the command that starts '%3'")
                       .arg(requestName(op.request))
                       .arg(op.command)
                       .arg(op.device)};
}

// The ECU answered the stop: it is a stop unless the answer's status says running.
std::optional<Failure> Sequencer::judgeStopped(const Drive& op)
{
    const auto status = findData(op.request, QStringLiteral("OutputControlStatus"));
    if (!status) return std::nullopt;
    PendingError skip;
    double value = 0.0;
    if (!skip.run([&] { value = status->NumericValue(); })) return skip.take();
    if (op.runningValue < 0 || value != static_cast<double>(op.runningValue)) return std::nullopt;
    return Failure{number(ControlError::StillDriven),
                   QStringLiteral("the ECU answers that '%1' still runs").arg(op.device)};
}

bool Sequencer::sharedRequest(const Sorvik3::RequestRef& request) const
{
    return request == selection().OutputControlRequest || request == selection().StopRequest ||
           request == selection().StatusRequest;
}

// Writes the command and the device into the request. A request of the ECU's,
// shared by every device and step, still holds what its last use wrote: it is
// sent only when both were written now, so it never goes out for another
// device or with another step's command. A device's own request names the
// device and its command by its bytes; there a field it cannot take is cleared silently.
std::optional<Failure> Sequencer::fillRequest(const Drive& op)
{
    if (auto refused = stopRefused(op)) return refused;
    const bool shared = op.shared;
    const QString listName = op.mode == DriveModeValue::Temporary ? QStringLiteral("OutputTemporaryControlList")
                                                                  : QStringLiteral("OutputPermanentControlList");
    const std::pair<QString, std::function<void(const Sorvik3::DataRef&)>> fields[] = {
        {QStringLiteral("OutputControlCommand"), [&](const Sorvik3::DataRef& d) { d->setNumericValue(op.command); }},
        {listName, [&](const Sorvik3::DataRef& d) { d->setValueName(op.device.toStdString()); }},
    };
    for (const auto& field : fields) {
        const QString& name = field.first;
        PendingError skip;
        const auto item = findData(op.request, name);
        const bool written = item && skip.run([&] { field.second(item); });
        if (written || !shared) continue;
        Failure failure = skip.take().value_or(Failure{number(ControlError::RequestNotFilled), QString()});
        failure.description = QStringLiteral("'%1' not sent: its %2 could not be set for '%3'%4")
                                  .arg(requestName(op.request), name, op.device,
                                       failure.description.isEmpty() ? QString() : " (" + failure.description + ")");
        failure.number = failure.number ? failure.number : number(ControlError::RequestNotFilled);
        return failure;
    }
    return std::nullopt;
}

Flow<Sequencer::Outcome> Sequencer::drive(const Drive& op)
{
    const auto& request = op.request;
    const bool isStop = op.stops != nullptr && !op.judgeStatus;
    if (!request) {
        // A stop that cannot be sent leaves the device as it is: that is a failure.
        std::optional<Failure> failure;
        if (isStop) failure = Failure{number(ControlError::RequestNotFilled), QStringLiteral("no stop request")};
        if (op.whenAbsent != SequenceState::Idle || isStop)
            log(op.errorLabel + QStringLiteral("no request"), op.errors, number(ControlError::RequestNotFilled));
        co_return Outcome{op.whenAbsent, failure};
    }
    if (auto refused = fillRequest(op)) {
        log(op.errorLabel + refused->description, op.errors, refused->number);
        if (op.afterSendError == SequenceState::Stop) w_.OptionPerm[0]->setChecked(true);
        co_return Outcome{op.afterSendError, refused};
    }
    PendingError skip;
    auto exchangeLine = [&] { return QString(op.exchangeLabel % exchangeText(request)); };
    // From the moment the bytes may leave, the device may be driven; only the
    // ECU's refusal of the start takes that back.
    if (op.stops != nullptr && op.judgeStatus) ledger_.mayBeDriven(*op.stops);
    const auto failure = co_await send(request);
    if (failure) {
        skip.run([&] { log(exchangeLine()); });
        log(op.errorLabel + failure->description, op.errors, failure->number);
        if (op.afterSendError == SequenceState::Stop) w_.OptionPerm[0]->setChecked(true);
        co_return Outcome{op.afterSendError, failure};
    }
    refreshStatusList(request);
    skip.run([&] { log(exchangeLine()); });
    std::optional<Failure> notStopped;
    if (isStop) {
        notStopped = judgeStopped(op);
        if (notStopped) log(op.errorLabel + notStopped->description, op.errors, notStopped->number);
    }
    if (!op.judgeStatus) co_return Outcome{op.whenRunning, notStopped};
    co_return Outcome{judgeRunning(op), std::nullopt};
}

// A device whose answer cannot be judged may be running: it goes through the stop.
SequenceState Sequencer::judgeRunning(const Drive& op)
{
    const auto status = findData(op.request, QStringLiteral("OutputControlStatus"));
    if (!status) return op.whenRunning;
    PendingError skip;
    double value = 0.0;
    const bool read = skip.run([&] { value = status->NumericValue(); });
    if (read && op.runningValue >= 0)
        return value == static_cast<double>(op.runningValue) ? op.whenRunning : op.whenNotRunning;
    const Failure failure = read ? Failure{number(ControlError::CannotJudge),
                                           QStringLiteral("no value 'Running' to compare the status with")}
                                 : *skip.take();
    log(op.errorLabel + QStringLiteral("cannot tell whether '%1' runs: %2").arg(op.device, failure.description),
        op.errors, failure.number);
    return op.whenUnjudged;
}

// A request's items do not change during a sequence: each is looked up once per
// sequence (a miss costs the library an exception and the language file a
// selection), and found again from here on every tick.
Sorvik3::DataRef Sequencer::findData(const Sorvik3::RequestRef& request, const QString& name)
{
    const auto key = std::make_pair(request.get(), name);
    if (auto known = itemsFound_.find(key); known != itemsFound_.end()) return known->second;
    auto item = utils::FindDataByName(catalogue_.language(), request, name, QString());
    itemsFound_.emplace(key, item);
    return item;
}

// Made in one piece: a running test logs every exchange.
QString Sequencer::exchangeText(const Sorvik3::RequestRef& request)
{
    return text(request->FrameText(true)) % QLatin1String("->") % text(request->FrameText(false));
}

QString Sequencer::requestName(const Sorvik3::RequestRef& request)
{
    QString name;
    PendingError().run([&] { name = text(request->Name()); });
    return name;
}

void Sequencer::refreshStatusList(const Sorvik3::RequestRef& request)
{
    catalogue_.refreshStatusValues(request, [this](const Sorvik3::DataRef& data) { tellDataRead(data); });
}

}  // namespace TavrinIoCtl
