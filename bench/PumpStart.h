// The benchmarks' common start: the demo vehicle's fuel pump (KWP2000) or
// mirror heater (UDS) started temporarily under "Monitor Status" with data monitoring on.
#pragma once

#include "ioctlAutomation.h"
#include "ioctl_p.h"

#include <QString>

namespace Bench {

// A device of the demo vehicle started temporarily under "Monitor Status" with
// data monitoring on; the rows are found by their keys ("16k", "FuelPumpk").
inline void startDevice(TavrinIoCtl::ioctl& control, const Sorvik3::SessionRef& session, const QString& ecuKey,
                        const QString& deviceKey)
{
    control.resize(1000, 680);
    control.initParameters(QStringLiteral(TAVRIN_DATA_DIR), QStringLiteral("en"), session);
    const auto& lists = catalogueWidgetsOf(control);
    const auto& drive = sequencerWidgetsOf(control);
    TavrinIoCtl::Events(control).lvFunctions_ItemClick(lists.lvFunctions->findItem(ecuKey));
    lists.lvDevices->setCurrentItem(lists.lvDevices->findItem(deviceKey));
    TavrinIoCtl::Events(control).lvDevices_Click();
    drive.OptionPerm[1]->setChecked(true);
    drive.ckReadData->setChecked(true);
    TavrinIoCtl::Events(control).cbStartTempo_Click();
}

inline void startFuelPump(TavrinIoCtl::ioctl& control, const Sorvik3::SessionRef& session)
{
    startDevice(control, session, QStringLiteral("16k"), QStringLiteral("FuelPumpk"));
}

}  // namespace Bench
