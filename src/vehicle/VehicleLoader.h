// Reads a vehicle description file. A file that is not well formed, lacks an
// attribute, repeats a name or holds a number out of range is refused whole,
// with an error naming the file, the line and what is wrong.
#pragma once

#include "VehicleModel.h"

#include <string>

namespace TavrinKwp {

// Throws Sorvik3::Error(SessionError::BadDescription) with "<file>:<line>: <what>".
VehicleDescription loadVehicleFile(const std::string& path);
VehicleDescription loadVehicleText(const std::string& xml, const std::string& name = "vehicle.xml");

}  // namespace TavrinKwp
