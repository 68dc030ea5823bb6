#include "Sequencer.h"
#include "Utf8.h"

#include "Utils.h"

namespace TavrinIoCtl {
// The three requests follow one pattern and differ only in these.
struct Sequencer::Drive {
    Sorvik3::RequestRef request;
    int32_t command = -1;
    QString exchangeLabel;
    QString errorLabel;
    SequenceState whenAbsent = SequenceState::Idle;
    SequenceState afterSendError = SequenceState::Idle;
    bool judgeStatus = true;
    SequenceState whenRunning = SequenceState::Status;
    SequenceState whenNotRunning = SequenceState::Idle;
    SequenceState whenUnjudged = SequenceState::Stop;
};

SequenceState Sequencer::StartDriving()
{
    auto& f = c_.fields;
    return drive({.request = f.DeviceStartRequest,
                  .command = f.DriveMode == DriveModeValue::Temporary ? f.StartTemporaryValue : f.StartPermanentValue,
                  .exchangeLabel = QStringLiteral("  Start driving : "),
                  .errorLabel = QStringLiteral("  Start driving error : "),
                  .whenAbsent = SequenceState::Idle,
                  .afterSendError = SequenceState::Idle,
                  .judgeStatus = true,
                  .whenRunning = SequenceState::Status,
                  .whenNotRunning = SequenceState::Idle,
                  .whenUnjudged = SequenceState::Stop});
}

SequenceState Sequencer::ReadDrivingStatus()
{
    auto& f = c_.fields;
    // A device that was started and cannot be asked is stopped, never left.
    return drive({.request = f.DeviceStatusRequest,
                  .command = f.StatusCommandValue,
                  .exchangeLabel = QStringLiteral("  status driving : "),
                  .errorLabel = QStringLiteral("  Read status driving error : "),
                  .whenAbsent = SequenceState::Stop,
                  .afterSendError = SequenceState::Stop,
                  .judgeStatus = true,
                  .whenRunning = SequenceState::Status,
                  .whenNotRunning = SequenceState::Stop,
                  .whenUnjudged = SequenceState::Stop});
}

SequenceState Sequencer::StopDriving()
{
    auto& f = c_.fields;
    return drive({.request = f.DeviceStopRequest,
                  .command = f.StopCommandValue,
                  .exchangeLabel = QStringLiteral("  Stop driving : "),
                  .errorLabel = QStringLiteral("  Stop driving error : "),
                  .whenAbsent = SequenceState::Idle,
                  .afterSendError = SequenceState::Idle,
                  .judgeStatus = false,
                  .whenRunning = SequenceState::Idle,
                  .whenNotRunning = SequenceState::Idle,
                  .whenUnjudged = SequenceState::Idle});
}

bool Sequencer::sharedRequest(const Sorvik3::RequestRef& request) const
{
    const auto& f = c_.fields;
    return request == f.OutputControlRequest || request == f.StopRequest || request == f.StatusRequest;
}

// Writes the command and the device into the request. A request of the ECU's,
// shared by every device and step, still holds what its last use wrote: it is
// sent only when both were written now, so it never goes out for another
// device or with another step's command. A device's own request names the
// device and its command by its bytes; there a field it cannot take is cleared silently.
std::optional<Failure> Sequencer::fillRequest(const Drive& op)
{
    auto& f = c_.fields;
    const bool shared = sharedRequest(op.request);
    const QString listName = f.DriveMode == DriveModeValue::Temporary ? QStringLiteral("OutputTemporaryControlList")
                                                      : QStringLiteral("OutputPermanentControlList");
    const std::pair<QString, std::function<void(const Sorvik3::DataRef&)>> fields[] = {
        {QStringLiteral("OutputControlCommand"), [&](const Sorvik3::DataRef& d) { d->setNumericValue(op.command); }},
        {listName, [&](const Sorvik3::DataRef& d) { d->setValueName(f.SelectedDeviceName.toStdString()); }},
    };
    for (const auto& field : fields) {
        const QString& name = field.first;
        PendingError skip;
        const auto item = findData(op.request, name);
        const bool written = item && skip.run([&] { field.second(item); });
        if (written || !shared) continue;
        Failure failure = skip.take().value_or(Failure{number(ControlError::RequestNotFilled), QString()});
        failure.description = QStringLiteral("'%1' not sent: its %2 could not be set for '%3'%4")
                                  .arg(requestName(op.request), name, f.SelectedDeviceName,
                                       failure.description.isEmpty() ? QString() : " (" + failure.description + ")");
        failure.number = failure.number ? failure.number : number(ControlError::RequestNotFilled);
        return failure;
    }
    return std::nullopt;
}

SequenceState Sequencer::drive(const Drive& op)
{
    lastDriveFailure_.reset();
    const auto& request = op.request;
    if (!request) {
        if (op.whenAbsent != SequenceState::Idle) log(op.errorLabel + QStringLiteral("no request"), Show::InStatus, number(ControlError::RequestNotFilled));
        return op.whenAbsent;
    }
    if (auto refused = fillRequest(op)) {
        lastDriveFailure_ = refused;
        log(op.errorLabel + refused->description, Show::InStatus, refused->number);
        if (op.afterSendError == SequenceState::Stop) c_.form.OptionPerm[0]->setChecked(true);
        return op.afterSendError;
    }
    PendingError skip;
    auto exchangeLine = [&] {
        return op.exchangeLabel + text(request->FrameText(true)) + QStringLiteral("->") +
               text(request->FrameText(false));
    };
    if (!skip.run([&] { request->Send(); })) {
        const Failure failure = *skip.take();
        lastDriveFailure_ = failure;
        skip.run([&] { log(exchangeLine()); });
        log(op.errorLabel + failure.description, Show::InStatus, failure.number);
        if (op.afterSendError == SequenceState::Stop) c_.form.OptionPerm[0]->setChecked(true);
        return op.afterSendError;
    }
    refreshStatusList(request);
    skip.run([&] { log(exchangeLine()); });
    if (!op.judgeStatus) return op.whenRunning;
    return judgeRunning(op);
}

// A device whose answer cannot be judged may be running: it goes through the stop.
SequenceState Sequencer::judgeRunning(const Drive& op)
{
    auto& f = c_.fields;
    const auto status = findData(op.request, QStringLiteral("OutputControlStatus"));
    if (!status) return op.whenRunning;
    PendingError skip;
    double value = 0.0;
    const bool read = skip.run([&] { value = status->NumericValue(); });
    if (read && f.RunningValue >= 0) return value == static_cast<double>(f.RunningValue) ? op.whenRunning : op.whenNotRunning;
    const Failure failure = read ? Failure{number(ControlError::CannotJudge), QStringLiteral("no value 'Running' to compare the status with")}
                                 : *skip.take();
    log(op.errorLabel + QStringLiteral("cannot tell whether '%1' runs: %2").arg(f.SelectedDeviceName, failure.description),
        Show::InStatus, failure.number);
    return op.whenUnjudged;
}

// A request's items do not change during a sequence: each is looked up once per
// sequence (a miss costs the library an exception and the language file a
// selection), and found again from here on every tick.
Sorvik3::DataRef Sequencer::findData(const Sorvik3::RequestRef& request, const QString& name)
{
    const auto key = std::make_pair(request.get(), name);
    if (auto known = itemsFound_.find(key); known != itemsFound_.end()) return known->second;
    auto item = utils::FindDataByName(request, name, QString());
    itemsFound_.emplace(key, item);
    return item;
}

QString Sequencer::requestName(const Sorvik3::RequestRef& request)
{
    QString name;
    PendingError().run([&] { name = text(request->Name()); });
    return name;
}

void Sequencer::refreshStatusList(const Sorvik3::RequestRef& request)
{
    ListView* list = c_.form.lvStatus;
    for (int i = 0; i < list->rowCount(); ++i) {
        PendingError skip;
        auto* row = list->row(i);
        // Rows whose name the request does not hold keep their value.
        Sorvik3::DataRef data;
        skip.run([&] {
            data = request->Data(row->text(0).toStdString());
            list->setSubItem(row, 1, text(data->ValueText()));
        });
        if (data) tellDataRead(data);
    }
}

}  // namespace TavrinIoCtl
