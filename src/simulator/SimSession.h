// A diagnostic session on a simulated vehicle, loaded from a vehicle
// description file. Hosts, the demo, the scenario runner and the tests use it
// wherever a real session library would be.
#pragma once

#include "FaultInjector.h"
#include "SimClock.h"
#include "SimulatedEcu.h"
#include "Sorvik3.h"
#include "VehicleModel.h"

#include <memory>
#include <string>
#include <vector>

namespace Sorvik3Sim {

class SimEcu;
class VehicleRuntime;

class SimSession final : public Sorvik3::Session {
  public:
    // Both throw Sorvik3::Error(BadDescription, ...) for a refused description.
    static std::shared_ptr<SimSession> load(const std::string& path);
    static std::shared_ptr<SimSession> fromText(const std::string& xml, const std::string& name = "vehicle.xml");
    explicit SimSession(VehicleDescription vehicle);

    std::vector<Sorvik3::EcuRef> Ecus() override;
    bool CommunicationStopped() override;
    void StopCommunication() override;
    Sorvik3::ReadListRef CreateReadList() override;

    void setClock(SimClock clock);
    FaultInjector& faults();
    const VehicleDescription& vehicle() const;
    // The ECU's own view of its state; throws for an unknown name.
    SimulatedEcu& behaviour(const std::string& ecuName);
    // Whether the tester opened communication with the ECU and has not closed it; throws for an unknown name.
    bool communicationOpen(const std::string& ecuName) const;

  private:
    size_t ecuIndex(const std::string& ecuName) const;

    std::shared_ptr<VehicleRuntime> runtime_;
    std::vector<std::shared_ptr<SimEcu>> ecus_;
};

}  // namespace Sorvik3Sim
