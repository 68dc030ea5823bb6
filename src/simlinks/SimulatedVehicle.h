// The simulated vehicle at the other end of a session's link (sim and the
// loopbacks): what tests, the scenario runner and the demo read and steer in
// it. A program gets these links by calling registerSimulatedLinks() once.
#pragma once

#include <TavrinKwpSession/HexText.h>
#include <TavrinKwpSession/LinkRegistry.h>

#include <functional>
#include <memory>
#include <string>

namespace TavrinKwp {

class FaultInjector;
class KwpSession;
class SimulatedEcu;
class VehicleSimulator;
struct TransportFaults;

class SimulatedVehicle final : public LinkPeer {
  public:
    // lineFaults: the loopback's line or emulated adapter, owned by its link; null for sim.
    SimulatedVehicle(std::shared_ptr<VehicleSimulator> simulator, TransportFaults* lineFaults);

    void useClock(const SessionClock& clock) override;

    VehicleSimulator& simulator() { return *simulator_; }
    // The faults the simulated ECUs inject from now on.
    FaultInjector& faults();
    // The simulated ECU's own view of its state; throws UnknownName for an unknown ECU.
    SimulatedEcu& behaviour(const std::string& ecuName);
    // Told of every request that reaches a simulated ECU (its name, the service
    // bytes), before the ECU acts on it; null to stop.
    void observeRequests(std::function<void(const std::string& ecu, const Bytes& request)> observer);
    // The faults of the line (kline:loopback, can:loopback) or of the emulated
    // adapter (elm:loopback); throws NotSimulated for sim, which has no line.
    TransportFaults& lineFaults();

  private:
    std::shared_ptr<VehicleSimulator> simulator_;
    TransportFaults* lineFaults_;
};

// Registers sim, kline:loopback, can:loopback and elm:loopback with the link registry; once is enough.
void registerSimulatedLinks();
// Whether the session's link reaches the simulated vehicle.
bool isSimulated(const KwpSession& session);
// The simulated vehicle behind the session's link; throws NotSimulated on a link to a real one.
SimulatedVehicle& simulatedVehicle(const KwpSession& session);

}  // namespace TavrinKwp
