#include "Catalogue.h"
#include "Utils.h"

namespace TavrinIoCtl {
ListRedrawLock::ListRedrawLock(Catalogue& catalogue) : catalogue_(catalogue)
{
    catalogue_.LockListRedraw(true);
}

ListRedrawLock::~ListRedrawLock()
{
    catalogue_.LockListRedraw(false);
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
            row = c_.form.lvFunctions->addItem(QString::number(ecu->Id()) + QStringLiteral("k"),
                                               QString::fromStdString(ecu->Name()));
        } catch (const std::invalid_argument& duplicate) {
            throw controlError(ControlError::DuplicateKey, duplicate.what());
        }
        c_.form.lvFunctions->setSubItem(row, 1, QString::fromStdString(ecu->Description()));
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

void Catalogue::LockListRedraw(bool lock)
{
    for (QWidget* list : {static_cast<QWidget*>(c_.form.lvFunctions), static_cast<QWidget*>(c_.form.lvDevices),
                          static_cast<QWidget*>(c_.form.lvData)}) {
        list->setUpdatesEnabled(!lock);
    }
}

void Catalogue::ClearLists(ClearLevel level)
{
    if (level == ClearLevel::Everything) {
        c_.form.lvFunctions->clearItems();
        c_.form.DiSessionName->setSession(nullptr);
    }
    if (level != ClearLevel::DeviceDetails) c_.form.lvDevices->clearItems();
    c_.form.lvData->clearItems();
    c_.form.lvStatus->clearItems();
    UpdateDriveButtons(QString(), false);
    removeParameterItems();
}

}  // namespace TavrinIoCtl
