#include "CanService.h"

#include "ExitStatus.h"
#include "LinkRegistry.h"
#include "Sorvik3.h"

#include <csignal>
#include <cstdio>

namespace EcuSim {

int serveCan(const std::string& connection, TavrinKwp::VehicleSimulator& simulator, TavrinKwp::TransportFaults& faults,
             const std::function<void(const std::string&)>& log, const std::atomic<bool>& stop, void (*onSignal)(int))
{
    // Options and their values too, as the tester's programs check them.
    TavrinKwp::checkConnection(connection);
    const auto parsed = TavrinKwp::parseConnection(connection);
    if (parsed.kind != "can" || parsed.port == "loopback") {
        std::fprintf(stderr, "tavrin-ecu-sim: --can %s: a bus is can:PLUGIN:INTERFACE[?bitrate=N]\n",
                     connection.c_str());
        return TavrinApps::ExitStatus::refused;
    }
    const auto colon = parsed.port.find(':');
    TavrinKwp::CanBusPort bus(parsed.port.substr(0, colon), parsed.port.substr(colon + 1), parsed.options);
    std::printf("can ready on %s\nserving %zu ECUs of %s\n", bus.name().c_str(), simulator.model().ecus.size(),
                simulator.model().name.c_str());
    std::fflush(stdout);
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
    TavrinKwp::CanEcuServer server(simulator, bus, {true, log}, faults);
    server.run(stop);
    return TavrinApps::ExitStatus::done;
}

}  // namespace EcuSim
