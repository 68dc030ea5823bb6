#include "Catalogue.h"

namespace TavrinIoCtl {

bool Catalogue::knowsDevice(const Sorvik3::DataRef& list, const QString& deviceName)
{
    if (!list) return false;
    PendingError skip;
    // Only whether the name is known counts, not its number.
    return skip.run([&] { list->NumericList()->Value(deviceName.toStdString()); });
}

void Catalogue::UpdateDriveButtons(const QString& deviceName, bool running)
{
    Form& f = c_.form;
    auto showOptions = [&f](bool visible) {
        for (auto* option : f.OptionPerm)
            option->setVisible(visible);
    };
    if (deviceName.isEmpty()) {
        f.CbStop->hide();
        f.cbStartPerm->hide();
        showOptions(false);
        f.cbStartTempo->hide();
        f.cbEstop->hide();
        return;
    }
    if (running) {
        f.CbStop->show();
        f.cbEstop->show();
        f.cbStartPerm->hide();
        showOptions(false);
        f.cbStartTempo->hide();
        return;
    }
    f.CbStop->hide();
    f.cbEstop->hide();
    f.cbStartPerm->setVisible(knowsDevice(selection_.PermanentListData, deviceName));
    f.OptionPerm[0]->show();
    f.OptionPerm[1]->show();
    if (selection_.TesterPresentRequest) f.OptionPerm[2]->show();
    f.cbStartTempo->setVisible(knowsDevice(selection_.TemporaryListData, deviceName));
}

}  // namespace TavrinIoCtl
