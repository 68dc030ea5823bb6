// The demo vehicle over the in-process simulator: the default of the demo
// host, the scenario runner and the tests. The simulated links are registered
// by the first call.
#pragma once

#include <TavrinKwpSession/DemoVehicleText.h>
#include <TavrinKwpSession/KwpSession.h>

#include <memory>
#include <string>

namespace TavrinKwp {

std::shared_ptr<KwpSession> demoSession();

}  // namespace TavrinKwp
