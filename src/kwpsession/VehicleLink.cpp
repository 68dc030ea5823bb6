#include "VehicleLink.h"

#include "CanLoopbackLink.h"
#include "ConnectionOptions.h"
#include "ElmLoopbackLink.h"
#include "InProcessLink.h"
#include "LoopbackLink.h"
#include "OffThreadLink.h"
#include "VehicleSimulator.h"

namespace TavrinKwp {

VehicleLink openVehicleLink(const std::string& text, std::shared_ptr<const VehicleDescription> vehicle)
{
    const Connection connection = parseConnection(text);
    if (connection.kind == "sim") {
        auto simulator = std::make_shared<VehicleSimulator>(vehicle);
        auto simulated = std::make_unique<InProcessLink>(simulator);
        // A simulated line as slow as a real one waits as a real one does, off the caller's thread.
        const bool slow = vehicle->busLatencyMs > 0 || vehicle->byteTimeUs > 0;
        if (slow) return {std::make_shared<OffThreadLink>(std::move(simulated)), simulator};
        return {std::shared_ptr<Link>(std::move(simulated)), simulator};
    }
    // A line's timing runs on a thread of its own: the caller's thread never sleeps through it.
    if (connection.kind == "can") {
        CanOptions options = canOptions(text, connection);
        if (connection.port != "loopback")
            return {std::make_shared<OffThreadLink>(std::make_unique<CanLink>(text, options)), nullptr};
        options.plugin = "virtualcan";
        options.interface = loopbackCanInterface();
        auto simulator = std::make_shared<VehicleSimulator>(vehicle);
        auto loopback = std::make_unique<CanLoopbackLink>(text, simulator, options);
        TransportFaults* faults = &loopback->transportFaults();
        return {std::make_shared<OffThreadLink>(std::move(loopback)), simulator, faults};
    }
    if (connection.kind == "elm") {
        bool stn = false;
        ElmOptions options = elmOptions(text, connection, &stn);
        if (connection.port != "loopback")
            return {std::make_shared<OffThreadLink>(std::make_unique<ElmLink>(text, options)), nullptr};
        auto simulator = std::make_shared<VehicleSimulator>(vehicle);
        auto loopback = std::make_unique<ElmLoopbackLink>(text, simulator, options, stn);
        TransportFaults* faults = &loopback->transportFaults();
        return {std::make_shared<OffThreadLink>(std::move(loopback)), simulator, faults};
    }
    const KLineOptions options = klineOptions(text, connection);
    if (connection.port == "loopback") {
        auto simulator = std::make_shared<VehicleSimulator>(vehicle);
        auto loopback = std::make_unique<LoopbackLink>(text, simulator, options);
        TransportFaults* faults = &loopback->transportFaults();
        return {std::make_shared<OffThreadLink>(std::move(loopback)), simulator, faults};
    }
    return {std::make_shared<OffThreadLink>(std::make_unique<KLineLink>(text, options)), nullptr};
}

}  // namespace TavrinKwp
