// Vehicles made for measuring: many ECUs, or one ECU with many devices whose
// data items carry named values.
#pragma once

#include <string>

namespace Bench {

// ecus ECUs, each with a device list of a few devices.
std::string manyEcus(int ecus);
// One ECU "Big" with the given devices, each with itemsPerDevice data items
// (lists of named values) spread over read requests.
std::string bigEcu(int devices, int itemsPerDevice);

}  // namespace Bench
