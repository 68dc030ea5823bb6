#include "DemoVehicle.h"

#include "SimulatedVehicle.h"

namespace TavrinKwp {

std::shared_ptr<KwpSession> demoSession()
{
    registerSimulatedLinks();
    return KwpSession::fromText(demoVehicleXml(), "demo.xml");
}

}  // namespace TavrinKwp
