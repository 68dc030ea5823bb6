#include "Sequencer.h"
#include "Utf8.h"

#include "SessionCall.h"

#include <QStringBuilder>

#include <limits>

namespace TavrinIoCtl {
Flow<bool> Sequencer::ReadData()
{
    bool result = false;
    PendingError skip;
    std::vector<Sorvik3::RequestRef> requests;
    if (selection().DeviceReadList) skip.run([&] { requests = selection().DeviceReadList->Requests(); });
    for (const auto& request : requests) {
        // The emergency stop's or Abort's stops go first: nothing more is read.
        if (heldBack()) break;
        auto exchange = [&]() -> QString {
            return QLatin1String("request(") % text(request->Name()) % QLatin1String(")=") % exchangeText(request);
        };
        const auto failure = co_await send(request);
        if (!failure) {
            skip.run([&] { log(said("ReadData", " Read Data : ") % exchange()); });
            result = true;
            continue;
        }
        skip.run([&] { log(said("ReadDataError", " Read Data error : ") % exchange()); });
        log(QStringLiteral("  Error(") + QString::number(failure->number) + QStringLiteral(")=") +
            failure->description);
        result = false;
    }
    skip.clear();
    catalogue_.refreshDataValues([this](const Sorvik3::DataRef& data) { tellDataRead(data); });
    co_return result;
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
    startBusy(readDataClick(ecu));
}

Flow<void> Sequencer::readDataClick(Sorvik3::EcuRef ecu)
{
    bool ready = false;
    PendingError().run([&] { ready = ecu->Initialized(); });
    if (!ready) {
        SessionCall call = SessionCall::init(flows_, c_.fields.Session, ecu);
        // An initialisation that fails is not reported and nothing is read.
        const auto failure = co_await call;
        if (failure) co_return;
    }
    co_await ReadData();
}

}  // namespace TavrinIoCtl
