// What the control's parts truly share: the host's session and installation
// folder, whether a session call waits, and whether the host asked to abort.
// They live in a plain struct so that "Busy" and "Session" can also be members
// of the control's host interface. The catalogue's choice and the run state
// have owners of their own (DeviceSelection, RunState).
#pragma once

#include "Sorvik3.h"

#include <QString>

namespace TavrinIoCtl {

struct ControlFields {
    Sorvik3::SessionRef Session;
    QString InstallPath;
    bool Busy = false;
    bool AbortRequested = false;
};

}  // namespace TavrinIoCtl
