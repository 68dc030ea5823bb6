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
    const auto& form = formOf(control);
    TavrinIoCtl::Events(control).lvFunctions_ItemClick(form.lvFunctions->findItem(QStringLiteral("16k")));
    form.lvDevices->setCurrentItem(form.lvDevices->findItem(QStringLiteral("FuelPumpk")));
    TavrinIoCtl::Events(control).lvDevices_Click();
    form.OptionPerm[1]->setChecked(true);
    form.ckReadData->setChecked(true);
    TavrinIoCtl::Events(control).cbStartTempo_Click();
}

}  // namespace Bench
