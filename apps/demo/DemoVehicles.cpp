#include "DemoVehicles.h"

#include "DemoVehicle.h"
#include "VehicleLoader.h"

std::shared_ptr<TavrinKwp::KwpSession> openVehicle(const QString& path, LineTiming timing, const QString& link)
{
    auto vehicle = path.isEmpty() ? TavrinKwp::loadVehicleText(TavrinKwp::demoVehicleXml(), "demo.xml")
                                  : TavrinKwp::loadVehicleFile(path.toStdString());
    // A file that gives its own line timing keeps it.
    if (vehicle.busLatencyMs == 0 && vehicle.byteTimeUs == 0) {
        vehicle.busLatencyMs = timing.latencyMs;
        vehicle.byteTimeUs = timing.byteTimeUs;
    }
    return std::make_shared<TavrinKwp::KwpSession>(std::move(vehicle), link.toStdString());
}
