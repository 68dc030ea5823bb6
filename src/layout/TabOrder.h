// The Tab order of a user's work: the ECU, the device, its parameters and the
// session, the drive buttons and options, then the data, the status and the log.
#pragma once

#include "WindowWidgets.h"

namespace TavrinIoCtl {

// Run again whenever parameter views come and go.
void orderTabs(const WindowWidgets& window);

}  // namespace TavrinIoCtl
