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
    // The vehicle of a description file (docs/vehicle-format.md). Throws
    // Sorvik3::Error(BadDescription) naming the file, line and reason for a refused one.
    static std::shared_ptr<SimSession> load(const std::string& path);
    // The same from text; name stands for the file in errors.
    static std::shared_ptr<SimSession> fromText(const std::string& xml, const std::string& name = "vehicle.xml");
    // A session on a vehicle already loaded; the session owns it.
    explicit SimSession(VehicleDescription vehicle);

    std::vector<Sorvik3::EcuRef> Ecus() override;
    bool CommunicationStopped() override;
    void StopCommunication() override;
    Sorvik3::ReadListRef CreateReadList() override;

    // Replaces the 32-bit millisecond clock and the wait an exchange takes (tests, scripted runs).
    void setClock(SimClock clock);
    // The session's clock now, in milliseconds.
    uint32_t clockNow() const;
    // The faults to inject from now on; the session owns them.
    FaultInjector& faults();
    // The vehicle as loaded.
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
