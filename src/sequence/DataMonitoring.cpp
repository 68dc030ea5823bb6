#include "Sequencer.h"
#include "Utf8.h"

#include <limits>

namespace TavrinIoCtl {
bool Sequencer::ReadData()
{
    bool result = false;
    PendingError skip;
    std::vector<Sorvik3::RequestRef> requests;
    if (selection().DeviceReadList) skip.run([&] { requests = selection().DeviceReadList->Requests(); });
    for (const auto& request : requests) {
        auto exchange = [&] {
            return QStringLiteral("request(") + text(request->Name()) + QStringLiteral(")=") +
                   text(request->FrameText(true)) + QStringLiteral("->") + text(request->FrameText(false));
        };
        if (skip.run([&] { request->Send(); })) {
            skip.run([&] { log(QStringLiteral(" Read Data : ") + exchange()); });
            result = true;
            continue;
        }
        const Failure failure = *skip.take();
        skip.run([&] { log(QStringLiteral(" Read Data error : ") + exchange()); });
        log(QStringLiteral("  Error(") + QString::number(failure.number) + QStringLiteral(")=") + failure.description);
        result = false;
    }
    skip.clear();
    ListView* list = c_.form.lvData;
    for (int i = 0; i < list->rowCount(); ++i) {
        auto* row = list->row(i);
        QString value;
        const auto* data = std::any_cast<Sorvik3::DataRef>(&row->tag);
        skip.run([&] {
            if (data && *data) value = text((*data)->ValueText());
        });
        list->setSubItem(row, 1, value);
        if (data && *data) tellDataRead(*data);
    }
    return result;
}

void Sequencer::tellDataRead(const Sorvik3::DataRef& data)
{
    if (!onDataRead || !wantsData()) return;
    QString name, unit, value;
    double number = std::numeric_limits<double>::quiet_NaN();
    PendingError skip;
    if (!skip.run([&] { name = text(data->Name()); })) return;
    skip.run([&] { unit = text(data->Unit()); });
    skip.run([&] { value = text(data->ValueText()); });
    skip.run([&] { number = data->NumericValue(); });
    onDataRead(name, unit, value, number, elapsedMs());
}

void Sequencer::cbReadData_Click()
{
    const auto& ecu = selection().SelectedEcu;
    if (!ecu || busy()) return;
    PendingError skip;
    bool ready = false;
    skip.run([&] { ready = ecu->Initialized(); });
    // An initialisation that fails is not reported and nothing is read.
    if (!ready && !skip.run([&] { ecu->Init(); })) return;
    ReadData();
}

}  // namespace TavrinIoCtl
