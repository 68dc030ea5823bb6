#include "Sequencer.h"
#include "Utf8.h"

#include "utils.h"

namespace TavrinIoCtl {
namespace {}  // namespace

// The three requests follow one pattern and differ only in these.
struct Sequencer::Drive {
    Sorvik3::RequestRef request;
    int32_t command = -1;
    QString exchangeLabel;
    QString errorLabel;
    int32_t afterSendError = Idle;
    bool judgeStatus = true;
    int32_t whenRunning = Status;
    int32_t whenNotRunning = Idle;
};

int32_t Sequencer::StartDriving()
{
    auto& f = c_.fields;
    return drive({f.DeviceStartRequest, f.DriveMode == Temporary ? f.StartTemporaryValue : f.StartPermanentValue,
                  QStringLiteral("  Start driving : "), QStringLiteral("  Start driving error : "), Idle, true, Status,
                  Idle});
}

int32_t Sequencer::ReadDrivingStatus()
{
    auto& f = c_.fields;
    return drive({f.DeviceStatusRequest, f.StatusCommandValue, QStringLiteral("  status driving : "),
                  QStringLiteral("  Read status driving error : "), Stop, true, Status, Stop});
}

int32_t Sequencer::StopDriving()
{
    auto& f = c_.fields;
    return drive({f.DeviceStopRequest, f.StopCommandValue, QStringLiteral("  Stop driving : "),
                  QStringLiteral("  Stop driving error : "), Idle, false, Idle, Idle});
}

int32_t Sequencer::drive(const Drive& op)
{
    auto& f = c_.fields;
    const auto& request = op.request;
    if (!request) return Idle;
    PendingError skip;
    // A command or device the request cannot take is cleared silently: the request goes out as the library builds it.
    skip.run([&] {
        if (auto command = utils::FindDataByName(request, QStringLiteral("OutputControlCommand"), QString())) {
            command->setNumericValue(op.command);
        }
    });
    skip.run([&] {
        const QString listName = f.DriveMode == Temporary ? QStringLiteral("OutputTemporaryControlList")
                                                          : QStringLiteral("OutputPermanentControlList");
        if (auto list = utils::FindDataByName(request, listName, QString())) {
            list->setValueName(f.SelectedDeviceName.toStdString());
        }
    });
    skip.clear();
    auto exchangeLine = [&] {
        return op.exchangeLabel + text(request->FrameText(true)) + QStringLiteral("->") +
               text(request->FrameText(false));
    };
    if (!skip.run([&] { request->Send(); })) {
        const Failure failure = *skip.take();
        skip.run([&] { log(exchangeLine()); });
        log(op.errorLabel + failure.description, 1, failure.number);
        if (op.afterSendError == Stop) c_.form.OptionPerm[0]->setChecked(true);
        return op.afterSendError;
    }
    refreshStatusList(request);
    skip.run([&] { log(exchangeLine()); });
    if (!op.judgeStatus) return op.whenRunning;
    const auto status = utils::FindDataByName(request, QStringLiteral("OutputControlStatus"), QString());
    if (!status) return op.whenRunning;
    bool running = false;
    skip.run([&] { running = status->NumericValue() == static_cast<double>(f.RunningValue); });
    return running ? op.whenRunning : op.whenNotRunning;
}

void Sequencer::refreshStatusList(const Sorvik3::RequestRef& request)
{
    ListView* list = c_.form.lvStatus;
    for (int i = 0; i < list->rowCount(); ++i) {
        PendingError skip;
        auto* row = list->row(i);
        // Rows whose name the request does not hold keep their value.
        skip.run([&] { list->setSubItem(row, 1, text(request->Data(row->text(0).toStdString())->ValueText())); });
    }
}

}  // namespace TavrinIoCtl
