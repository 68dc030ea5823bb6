#include "Catalogue.h"
#include "Utils.h"

#include <utility>

namespace TavrinIoCtl {
ListRedrawLock::ListRedrawLock(Catalogue& catalogue) : ListRedrawLock(catalogue.redrawnLists())
{}

ListRedrawLock::ListRedrawLock(std::vector<QWidget*> lists) : lists_(std::move(lists))
{
    for (QWidget* list : lists_)
        list->setUpdatesEnabled(false);
}

ListRedrawLock::~ListRedrawLock()
{
    for (QWidget* list : lists_)
        list->setUpdatesEnabled(true);
}

std::vector<QWidget*> Catalogue::redrawnLists() const
{
    return {w_.lvFunctions, w_.lvDevices, w_.lvData};
}

void Catalogue::LoadFunctionList()
{
    // Redrawing comes back on whatever happens; the failure still reaches the host.
    const ListRedrawLock redraw(*this);
    ClearLists(ClearLevel::Everything);
    if (!c_.fields.Session) return;
    for (const auto& ecu : c_.fields.Session->Ecus()) {
        if (ecu->Id() == 0) continue;
        if (!HasOutputControlLists(ecu)) continue;
        TavrinPlatform::ListItem* row = nullptr;
        try {
            row = w_.lvFunctions->addItem(QString::number(ecu->Id()) + QStringLiteral("k"),
                                          QString::fromStdString(ecu->Name()));
        } catch (const std::invalid_argument& duplicate) {
            throw controlError(ControlError::DuplicateKey, duplicate.what());
        }
        w_.lvFunctions->setSubItem(row, 1, QString::fromStdString(ecu->Description()));
        row->tag = ecu;
    }
}

bool Catalogue::HasOutputControlLists(const Sorvik3::EcuRef& ecu)
{
    bool result = false;
    PendingError skip;
    skip.run([&] {
        auto request = utils::FindRequestByName(language_, ecu, QStringLiteral("OutputControl"), QString());
        if (!request) return;
        auto temporary =
            utils::FindDataByName(language_, request, QStringLiteral("OutputTemporaryControlList"), QString());
        if (temporary && !temporary->NumericList()) return;
        auto permanent =
            utils::FindDataByName(language_, request, QStringLiteral("OutputPermanentControlList"), QString());
        if (permanent && !permanent->NumericList()) return;
        if (!permanent && !temporary) return;
        result = true;
    });
    return result;
}

void Catalogue::ClearLists(ClearLevel level)
{
    if (level == ClearLevel::Everything) {
        w_.lvFunctions->clearItems();
        w_.DiSessionName->setSession(nullptr);
    }
    if (level != ClearLevel::DeviceDetails) w_.lvDevices->clearItems();
    w_.lvData->clearItems();
    w_.lvStatus->clearItems();
    if (onDeviceShown) onDeviceShown(QString());
    removeParameterItems();
}

}  // namespace TavrinIoCtl
