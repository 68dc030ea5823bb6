#include "CanLoopbackLink.h"
#include "ConnectionOptions.h"
#include "ElmLoopbackLink.h"
#include "InProcessLink.h"
#include "LoopbackLink.h"
#include "OffThreadLink.h"
#include "SimulatedVehicle.h"
#include "VehicleSimulator.h"

#include <mutex>

namespace TavrinKwp {
namespace {

using Vehicle = std::shared_ptr<const VehicleDescription>;

OpenedLink openSim(const std::string&, const Connection&, Vehicle vehicle)
{
    auto simulator = std::make_shared<VehicleSimulator>(vehicle);
    auto peer = std::make_shared<SimulatedVehicle>(simulator, nullptr);
    auto simulated = std::make_unique<InProcessLink>(simulator);
    // A simulated line as slow as a real one waits as a real one does, off the caller's thread.
    const bool slow = vehicle->busLatencyMs > 0 || vehicle->byteTimeUs > 0;
    if (slow) return {std::make_shared<OffThreadLink>(std::move(simulated)), peer};
    return {std::shared_ptr<Link>(std::move(simulated)), peer};
}

// A loopback's line runs on a thread of its own, as a real line's does.
template <typename Loopback, typename... Options>
OpenedLink openLoopback(std::shared_ptr<VehicleSimulator> simulator, const std::string& text, Options&&... options)
{
    auto loopback = std::make_unique<Loopback>(text, simulator, std::forward<Options>(options)...);
    auto peer = std::make_shared<SimulatedVehicle>(simulator, &loopback->transportFaults());
    return {std::make_shared<OffThreadLink>(std::move(loopback)), peer};
}

// "chip" (elm or stn) says which adapter the emulation plays; the other options are the adapter link's.
bool stnChip(const std::string& text, Connection& connection)
{
    const auto chip = connection.options.find("chip");
    if (chip == connection.options.end()) return false;
    if (chip->second != "elm" && chip->second != "stn")
        refuseConnection(text, "chip is elm or stn, not '" + chip->second + "'");
    const bool stn = chip->second == "stn";
    connection.options.erase(chip);
    return stn;
}

void registerAll()
{
    registerLink("sim", {openSim,
                         [](const std::string& text, const Connection& connection) {
                             if (!connection.options.empty()) refuseConnection(text, "sim takes no options");
                         },
                         "sim"});
    registerLink("kline:loopback",
                 {[](const std::string& text, const Connection& connection, Vehicle vehicle) {
                      return openLoopback<LoopbackLink>(std::make_shared<VehicleSimulator>(vehicle), text,
                                                        klineOptions(text, connection));
                  },
                  [](const std::string& text, const Connection& connection) { klineOptions(text, connection); },
                  "kline:loopback"});
    registerLink("can:loopback",
                 {[](const std::string& text, const Connection& connection, Vehicle vehicle) {
                      CanOptions options = canBusOptions(text, connection);
                      options.plugin = "virtualcan";
                      options.interface = loopbackCanInterface();
                      return openLoopback<CanLoopbackLink>(std::make_shared<VehicleSimulator>(vehicle), text, options);
                  },
                  [](const std::string& text, const Connection& connection) { canBusOptions(text, connection); },
                  "can:loopback"});
    registerLink("elm:loopback", {[](const std::string& text, Connection connection, Vehicle vehicle) {
                                      const bool stn = stnChip(text, connection);
                                      return openLoopback<ElmLoopbackLink>(std::make_shared<VehicleSimulator>(vehicle),
                                                                           text, elmOptions(text, connection), stn);
                                  },
                                  [](const std::string& text, Connection connection) {
                                      stnChip(text, connection);
                                      elmOptions(text, connection);
                                  },
                                  "elm:loopback?chip=elm|stn"});
}

}  // namespace

void registerSimulatedLinks()
{
    static std::once_flag once;
    std::call_once(once, registerAll);
}

}  // namespace TavrinKwp
