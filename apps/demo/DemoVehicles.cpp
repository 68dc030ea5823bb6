#include "DemoVehicles.h"

#include "DemoVehicle.h"
#include "VehicleLoader.h"

namespace {
std::vector<std::string>& keyPluginFolders()
{
    static std::vector<std::string> folders;
    return folders;
}
}  // namespace

void useKeyPluginFolders(std::vector<std::string> folders)
{
    keyPluginFolders() = std::move(folders);
}

std::shared_ptr<TavrinKwp::KwpSession> openVehicle(const QString& path, LineTiming timing, const QString& link)
{
    auto vehicle = path.isEmpty() ? TavrinKwp::loadVehicleText(TavrinKwp::demoVehicleXml(), "demo.xml")
                                  : TavrinKwp::loadVehicleFile(path.toStdString());
    // A file that gives its own line timing keeps it.
    if (vehicle.busLatencyMs == 0 && vehicle.byteTimeUs == 0) {
        vehicle.busLatencyMs = timing.latencyMs;
        vehicle.byteTimeUs = timing.byteTimeUs;
    }
    auto session = std::make_shared<TavrinKwp::KwpSession>(std::move(vehicle), link.toStdString());
    session->setKeyPluginFolders(keyPluginFolders());
    return session;
}
