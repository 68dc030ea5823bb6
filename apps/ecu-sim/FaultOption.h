// A fault given on the command line: "init ECU [N|always]",
// "negative ECU REQUEST CODE [N|always]", "noanswer ECU REQUEST [N|always]",
// and the faults of the line (TransportFaults): "late-answer MS [N]",
// "corrupt [N]", "garbage [N]", "stray-zero [N]", "lost-frame [N]",
// "late-flow-control [N]", "overflow [N]", "flow-control-wait [N]", "stray-frame [N]".
#pragma once

#include "CanEcuServer.h"
#include "FaultInjector.h"
#include "VehicleModel.h"

#include <string>

namespace EcuSim {

// Adds the fault; returns why it is refused, or an empty text.
std::string addFault(const std::string& text, const TavrinKwp::VehicleDescription& vehicle,
                     TavrinKwp::FaultInjector& faults, TavrinKwp::TransportFaults& transport);

}  // namespace EcuSim
