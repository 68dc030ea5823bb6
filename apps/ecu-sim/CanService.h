// The simulated vehicle on a CAN bus, for tavrin-ecu-sim --can.
#pragma once

#include "CanEcuServer.h"

#include <atomic>
#include <functional>
#include <string>

namespace EcuSim {

// Serves until stop is set; returns the exit status (2 when the bus cannot be opened).
int serveCan(const std::string& connection, TavrinKwp::VehicleSimulator& simulator, TavrinKwp::TransportFaults& faults,
             const std::function<void(const std::string&)>& log, const std::atomic<bool>& stop, void (*onSignal)(int));

}  // namespace EcuSim
