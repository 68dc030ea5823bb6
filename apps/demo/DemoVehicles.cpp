#include "DemoVehicles.h"

#include "DemoVehicle.h"
#include "VehicleLoader.h"

std::shared_ptr<Sorvik3Sim::KwpSession> openVehicle(const QString& path, LineTiming timing, const QString& link)
{
    auto vehicle = path.isEmpty() ? Sorvik3Sim::loadVehicleText(Sorvik3Sim::demoVehicleXml(), "demo.xml")
                                  : Sorvik3Sim::loadVehicleFile(path.toStdString());
    // A file that gives its own line timing keeps it.
    if (vehicle.busLatencyMs == 0 && vehicle.byteTimeUs == 0) {
        vehicle.busLatencyMs = timing.latencyMs;
        vehicle.byteTimeUs = timing.byteTimeUs;
    }
    return std::make_shared<Sorvik3Sim::KwpSession>(std::move(vehicle), link.toStdString());
}
