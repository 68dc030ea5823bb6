// The demo vehicle's description, compiled in: a host, the simulator and the
// tests run without any data file.
#pragma once

#include <string>

namespace TavrinKwp {

const std::string& demoVehicleXml();

}  // namespace TavrinKwp
