// The demo vehicle, compiled into the library: the default of the demo host,
// the scenario runner and the tests.
#pragma once

#include "SimSession.h"

#include <memory>
#include <string>

namespace Sorvik3Sim {

const std::string& demoVehicleXml();
std::shared_ptr<SimSession> demoSession();

}  // namespace Sorvik3Sim
