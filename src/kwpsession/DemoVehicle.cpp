#include "DemoVehicle.h"

namespace TavrinKwp {

std::shared_ptr<KwpSession> demoSession()
{
    return KwpSession::fromText(demoVehicleXml(), "demo.xml");
}

}  // namespace TavrinKwp
