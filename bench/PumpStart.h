// The benchmarks' common start: the demo vehicle's fuel pump started
// temporarily under "Monitor Status" with data monitoring on.
#pragma once

#include "ioctlAutomation.h"
#include "ioctl_p.h"

#include <QString>

namespace Bench {

inline void startFuelPump(TavrinIoCtl::ioctl& control, const Sorvik3::SessionRef& session)
{
    control.resize(1000, 680);
    control.initParameters(QStringLiteral(TAVRIN_DATA_DIR), QStringLiteral("en"), session);
    const auto& lists = catalogueWidgetsOf(control);
    const auto& drive = sequencerWidgetsOf(control);
    TavrinIoCtl::Events(control).lvFunctions_ItemClick(lists.lvFunctions->findItem(QStringLiteral("16k")));
    lists.lvDevices->setCurrentItem(lists.lvDevices->findItem(QStringLiteral("FuelPumpk")));
    TavrinIoCtl::Events(control).lvDevices_Click();
    drive.OptionPerm[1]->setChecked(true);
    drive.ckReadData->setChecked(true);
    TavrinIoCtl::Events(control).cbStartTempo_Click();
}

}  // namespace Bench
