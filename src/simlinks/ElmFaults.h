// The emulated adapter's faults as a user writes them, for tavrin-ecu-sim's
// --fault "elm ..." and the scenario runner's "fault adapter ...".
#pragma once

#include "TransportFaults.h"

#include <string>
#include <vector>

namespace TavrinKwp {

// "REPLY [N|always]" (the adapter's own reply in place of the next N answers)
// "refuses COMMAND" (a clone that answers ? to commands that begin so) or
// "ignores COMMAND" (a clone that answers them not at all).
// Empty when armed; else what the words should be.
std::string armElmFault(std::vector<std::string> words, ElmFaults& faults);

}  // namespace TavrinKwp
