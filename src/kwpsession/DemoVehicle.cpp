#include "DemoVehicle.h"

namespace Sorvik3Sim {

std::shared_ptr<KwpSession> demoSession()
{
    return KwpSession::fromText(demoVehicleXml(), "demo.xml");
}

}  // namespace Sorvik3Sim
