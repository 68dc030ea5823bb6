// The link a connection string names, and the simulated vehicle behind it when
// it reaches one (sim, kline:loopback, can:loopback): the session library is
// where the real links and the simulation meet.
#pragma once

#include "Link.h"
#include "VehicleModel.h"

#include <memory>
#include <string>

namespace TavrinKwp {

class VehicleSimulator;

struct TransportFaults;

struct VehicleLink {
    std::shared_ptr<Link> link;
    std::shared_ptr<VehicleSimulator> simulator;  // null on a link to a real vehicle
    TransportFaults* lineFaults = nullptr;        // a loopback's line or emulated adapter; owned by the link
};

// Opens nothing yet: a K-line port is opened when the first ECU is started.
// Throws Sorvik3::Error(SessionError::BadConnection) for a connection that names no link.
VehicleLink openVehicleLink(const std::string& connection, std::shared_ptr<const VehicleDescription> vehicle);

}  // namespace TavrinKwp
