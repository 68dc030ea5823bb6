#include "Catalogue.h"
#include "Utf8.h"
#include "Utils.h"

namespace TavrinIoCtl {
void Catalogue::reportFailure(const char* operation, const Failure& failure)
{
    c_.report.LogMessage(QString::fromLatin1(operation) + QStringLiteral(" error : ") + failure.description,
                         Show::InStatus, failure.number);
}

void Catalogue::lvDevices_Click()
{
    c_.report.ClearLog();
    auto* row = w_.lvDevices->selectedRow();
    if (row == nullptr) return;
    const QString device = row->text(0);
    selection_.SelectedDeviceName = device;
    FillDeviceDataList(device);
    LogDeviceRequests(device);
    // A failure while building keeps what was built, and the user sees its number.
    PendingError step;
    if (!step.run([&] { BuildParameterPanel(device, selection_.DeviceStartRequest); })) {
        reportFailure("Parameters", *step.take());
    }
    if (!step.run([&] { FillStatusList(selection_.DeviceStatusRequest); })) reportFailure("Status list", *step.take());
    if (onDeviceShown) onDeviceShown(device);
    if (onTabStopsChanged) onTabStopsChanged();
}

void Catalogue::FillDeviceDataList(const QString& deviceName)
{
    auto& f = selection_;
    f.DeviceReadList = nullptr;
    if (w_.lvDevices->selectedRow() == nullptr) return;
    PendingError skip;
    skip.run([&] { ClearLists(ClearLevel::DeviceDetails); });
    // Without a read list the click carries on: the data are listed, not monitored.
    if (!skip.run([&] { f.DeviceReadList = c_.fields.Session->CreateReadList(); }))
        reportFailure("Read list", *skip.take());
    std::vector<Sorvik3::DataRef> items;
    skip.run([&] { items = f.SelectedEcu->DataItems(); });
    const std::string wanted = deviceName.toStdString();
    for (const auto& item : items) {
        skip.run([&] {
            auto device = item->Device();
            if (!device || device->Name() != wanted) return;
            if (f.DeviceReadList) f.DeviceReadList->Add(item);
            const QString name = text(item->Name());
            auto* row = w_.lvData->addItem(name, name);
            row->tag = item;
            w_.lvData->setSubItem(row, 1, text(item->ValueText()));
        });
    }
    skip.run([&] {
        if (f.DeviceReadList && f.DeviceReadList->Count() == 0) f.DeviceReadList = nullptr;
    });
}

void Catalogue::LogDeviceRequests(const QString& deviceName)
{
    auto& f = selection_;
    f.DeviceStartRequest = requestOr(QStringLiteral("OutputControl.Start."), deviceName, f.OutputControlRequest);
    f.DeviceStopRequest = requestOr(QStringLiteral("OutputControl.Stop."), deviceName, f.StopRequest);
    f.DeviceStatusRequest = requestOr(QStringLiteral("OutputControl.Status."), deviceName, f.StatusRequest);
    c_.report.LogMessage(QStringLiteral("Device : '") + deviceName + QStringLiteral("' requests : "));
    logRequestLines(f.DeviceStartRequest, f.DeviceStopRequest, f.DeviceStatusRequest);
}

void Catalogue::FillStatusList(const Sorvik3::RequestRef& statusRequest)
{
    ListView* status = w_.lvStatus;
    status->clearItems();
    if (!statusRequest) throw controlError(ControlError::NoSuchObject, "no status request");
    for (const auto& item : statusRequest->Items()) {
        if (!item->InResponse() || item->Name() == "ExtraBytes") continue;
        auto* row = status->addItem(QString(), text(item->Name()));
        row->tag = item;
    }
}

void Catalogue::sortOnColumnClick(ListView* list, int column)
{
    // A list not sorted yet starts ascending, whichever column is clicked first.
    if (list->sorted() && list->sortKey() == column) {
        list->sortBy(column, list->sortOrder() == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder);
    } else {
        list->sortBy(column, Qt::AscendingOrder);
    }
}

void DeviceSelection::releaseReferences()
{
    OutputControlRequest.reset();
    StopRequest.reset();
    StatusRequest.reset();
    StartSessionRequest.reset();
    PermanentListData.reset();
    TemporaryListData.reset();
    CommandData.reset();
    StatusData.reset();
    TesterPresentRequest.reset();
    SelectedEcu.reset();
    DeviceStartRequest.reset();
    DeviceStopRequest.reset();
    DeviceStatusRequest.reset();
    DeviceReadList.reset();
}

}  // namespace TavrinIoCtl
