// One key for each drive button, from anywhere in the control: F5 starts a
// temporary drive, F6 a permanent one, F7 stops, Esc is the emergency stop. A
// key does what a click does, and only while its button shows, so Esc still
// closes a host's dialog when no sequence runs.
#pragma once

#include "SequencerWidgets.h"

namespace TavrinIoCtl {

void addDriveShortcuts(QWidget* control, const SequencerWidgets& drive);

}  // namespace TavrinIoCtl
