#include "Sequencer.h"

namespace TavrinIoCtl {

bool Sequencer::knowsDevice(const Sorvik3::DataRef& list, const QString& deviceName) const
{
    if (!list) return false;
    PendingError skip;
    // Only whether the name is known counts, not its number.
    return skip.run([&] { list->NumericList()->Value(deviceName.toStdString()); });
}

void Sequencer::refreshStartButtons()
{
    // A device whose stop was not confirmed is not started again: it is stopped again (F7) first.
    bool held = false;
    for (const auto& device : ledger_.devices())
        held = held || (device.ecu == selection().SelectedEcu && device.device == selection().SelectedDeviceName);
    w_.cbStartTempo->setEnabled(!held);
    w_.cbStartPerm->setEnabled(!held);
}

void Sequencer::UpdateDriveButtons(const QString& deviceName, bool running)
{
    // A stop button that hides with the focus would hand it to the next widget
    // in the chain (the monitoring check box); it goes back to the start instead.
    const bool stopHadFocus = w_.CbStop->hasFocus() || w_.cbEstop->hasFocus();
    auto showOptions = [this](bool visible) {
        for (auto* option : w_.OptionPerm)
            option->setVisible(visible);
    };
    if (deviceName.isEmpty()) {
        w_.CbStop->hide();
        w_.cbStartPerm->hide();
        showOptions(false);
        w_.cbStartTempo->hide();
        w_.cbEstop->hide();
        return;
    }
    if (running) {
        w_.CbStop->show();
        w_.cbEstop->show();
        w_.cbStartPerm->hide();
        showOptions(false);
        w_.cbStartTempo->hide();
        return;
    }
    w_.CbStop->hide();
    w_.cbEstop->hide();
    w_.cbStartPerm->setVisible(knowsDevice(selection().PermanentListData, deviceName));
    w_.OptionPerm[0]->show();
    w_.OptionPerm[1]->show();
    if (selection().TesterPresentRequest) w_.OptionPerm[2]->show();
    w_.cbStartTempo->setVisible(knowsDevice(selection().TemporaryListData, deviceName));
    refreshStartButtons();
    if (!stopHadFocus) return;
    for (QPushButton* start : {w_.cbStartTempo, w_.cbStartPerm}) {
        if (!start->isHidden() && start->isEnabled()) {
            start->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
}

}  // namespace TavrinIoCtl
