// A KWP2000 diagnostic session on a vehicle description, over a link: the
// ECU simulator in the process (the default), or a real line named by a
// connection string ("kline:/dev/ttyUSB0"). Hosts, the demo, the scenario
// runner and the tests all use it.
#pragma once

#include "HexText.h"
#include "Sorvik3.h"
#include "VehicleModel.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace TavrinKwp {

class FaultInjector;
class KwpEcu;
class SimulatedEcu;
class VehicleRuntime;
struct SessionClock;
struct TransportFaults;

class KwpSession final : public Sorvik3::Session, public Sorvik3::AsyncCalls {
  public:
    // The vehicle of a description file (docs/vehicle-format.md). Throws
    // Sorvik3::Error(SessionError::BadDescription) naming the file, line and reason for a refused one.
    static std::shared_ptr<KwpSession> load(const std::string& path, const std::string& connection = "sim");
    // The same from text; name stands for the file in errors.
    static std::shared_ptr<KwpSession> fromText(const std::string& xml, const std::string& name = "vehicle.xml",
                                                const std::string& connection = "sim");
    // A session on a vehicle already loaded, over the simulated vehicle in the process.
    explicit KwpSession(VehicleDescription vehicle);
    // The same over the link a connection string names (docs/links.md); throws
    // Sorvik3::Error(SessionError::BadConnection) for one that names no link.
    KwpSession(VehicleDescription vehicle, const std::string& connection);

    std::vector<Sorvik3::EcuRef> Ecus() override;
    bool CommunicationStopped() override;
    void StopCommunication() override;
    void InterruptWait() override;
    Sorvik3::ReadListRef CreateReadList() override;
    // Its calls that wait on the line are also made without waiting: the
    // line's work runs on a thread of its own, after the calls already there.
    Sorvik3::AsyncCalls* Async() override { return this; }
    // Throw UnknownName for a request or an ECU of another session library.
    Sorvik3::PendingCallRef BeginSend(const Sorvik3::RequestRef& request, std::function<void()> done) override;
    Sorvik3::PendingCallRef BeginInit(const Sorvik3::EcuRef& ecu, std::function<void()> done) override;
    Sorvik3::PendingCallRef BeginStopCommunication(std::function<void()> done) override;

    // The connection string of the link.
    std::string linkName() const;
    // What the adapter between the link and the vehicle is and whether it takes
    // what this vehicle's ECUs need, one line each; empty for a plain line.
    std::vector<std::string> checkAdapter();
    // The faults of the line (kline:loopback, can:loopback) or of the emulated
    // adapter (elm:loopback); throws NotSimulated on other links.
    TransportFaults& lineFaults();
    // Whether the link reaches the simulated vehicle, whose ECUs the calls below read.
    bool simulated() const;

    // Replaces the 32-bit millisecond clock and the wait an exchange takes (tests, scripted runs).
    void setClock(SessionClock clock);
    // The session's clock now, in milliseconds.
    uint32_t clockNow() const;
    // The faults the simulated vehicle injects from now on; throws NotSimulated on a real link.
    FaultInjector& faults();
    // Told of every request that reaches a simulated ECU (its name, the service
    // bytes), before the ECU acts on it; throws NotSimulated on a real link.
    void observeRequests(std::function<void(const std::string& ecu, const Bytes& request)> observer);
    // The vehicle as loaded.
    const VehicleDescription& vehicle() const;
    // The simulated ECU's own view of its state; throws for an unknown name and on a real link.
    SimulatedEcu& behaviour(const std::string& ecuName);
    // Whether the tester opened communication with the ECU and has not closed it; throws for an unknown name.
    bool communicationOpen(const std::string& ecuName) const;

  private:
    KwpSession(std::shared_ptr<const VehicleDescription> vehicle, const std::string& connection);
    size_t ecuIndex(const std::string& ecuName) const;
    class VehicleSimulator& simulator() const;

    std::shared_ptr<VehicleRuntime> runtime_;
    std::vector<std::shared_ptr<KwpEcu>> ecus_;
};

}  // namespace TavrinKwp
