#include "Catalogue.h"
#include "Utf8.h"

namespace TavrinIoCtl {

void Catalogue::lockChoice(bool locked)
{
    for (QWidget* w : {w_.lvFunctions, w_.lvDevices, w_.lvData})
        w->setEnabled(!locked);
    w_.DiSessionName->setWriteEnabled(!locked);
    for (int i = 1; i < w_.DeviceParam.size(); ++i)
        w_.DeviceParam[i]->setWriteEnabled(!locked);
}

void Catalogue::showValuesStale(bool stale)
{
    for (ListView* list : {w_.lvData, w_.lvStatus}) {
        const QBrush grey = list->palette().brush(QPalette::Disabled, QPalette::Text);
        for (int i = 0; i < list->rowCount(); ++i) {
            auto* row = list->row(i);
            const bool shown = !row->text(1).isEmpty();
            row->setData(1, Qt::ForegroundRole, stale && shown ? QVariant(grey) : QVariant());
            row->setData(1, Qt::AccessibleDescriptionRole,
                         stale && shown
                             ? language_.GetMessage("read before the stop", QStringLiteral("Messages/StaleValue"))
                             : QVariant());
        }
    }
}

void Catalogue::refreshDataValues(const ItemTold& told)
{
    ListView* list = w_.lvData;
    PendingError skip;
    for (int i = 0; i < list->rowCount(); ++i) {
        auto* row = list->row(i);
        QString value;
        const auto* data = std::any_cast<Sorvik3::DataRef>(&row->tag);
        skip.run([&] {
            if (data && *data) value = text((*data)->ValueText());
        });
        list->setSubItem(row, 1, value);
        if (data && *data) told(*data);
    }
}

void Catalogue::refreshStatusValues(const Sorvik3::RequestRef& request, const ItemTold& told)
{
    ListView* list = w_.lvStatus;
    for (int i = 0; i < list->rowCount(); ++i) {
        PendingError skip;
        auto* row = list->row(i);
        // Rows whose name the request does not hold keep their value.
        Sorvik3::DataRef data;
        skip.run([&] {
            data = request->Data(row->text(0).toStdString());
            list->setSubItem(row, 1, text(data->ValueText()));
        });
        if (data) told(data);
    }
}

}  // namespace TavrinIoCtl
