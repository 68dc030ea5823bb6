// A KWP2000 diagnostic session on a vehicle description, over the link a
// connection string names ("kline:/dev/ttyUSB0") from the link registry: a
// real line, or the simulated vehicle ("sim", the default) in a program that
// registered it (SimulatedVehicle.h). Hosts, the demo, the scenario runner and
// the tests all use it.
#pragma once

#include <TavrinIoCtl/Sorvik3.h>
#include <TavrinKwpSession/HexText.h>
#include <TavrinKwpSession/SessionClock.h>
#include <TavrinKwpSession/VehicleModel.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace TavrinKwp {

class KwpEcu;
class LinkPeer;
class VehicleRuntime;

class KwpSession final : public Sorvik3::Session, public Sorvik3::AsyncCalls {
  public:
    // The vehicle of a description file (docs/vehicle-format.md). Throws
    // Sorvik3::Error(SessionError::BadDescription) naming the file, line and reason for a refused one.
    static std::shared_ptr<KwpSession> load(const std::string& path, const std::string& connection = "sim");
    // The same from text; name stands for the file in errors.
    static std::shared_ptr<KwpSession> fromText(const std::string& xml, const std::string& name = "vehicle.xml",
                                                const std::string& connection = "sim");
    // A session on a vehicle already loaded, over the simulated vehicle in the process
    // (registered by registerSimulatedLinks(); else BadConnection says so).
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
    // Told by the links that run on a thread of their own (the real lines).
    void WatchLine(std::function<void(const Sorvik3::Error&)> lost) override;

    // The connection string of the link.
    std::string linkName() const;
    // What the adapter between the link and the vehicle is and whether it takes
    // what this vehicle's ECUs need, one line each; empty for a plain line.
    std::vector<std::string> checkAdapter();
    // What this process serves at the other end of the link (the simulated
    // vehicle, SimulatedVehicle.h); null on a link to a real vehicle.
    LinkPeer* linkPeer() const;

    // The folders SecurityAccess key plug-ins are loaded from (TavrinSecurityKey.h), in
    // order; absolute paths only (a relative one throws SessionError::KeyPlugin).
    // Without any, an ECU that asks for SecurityAccess refuses output control.
    void setKeyPluginFolders(const std::vector<std::string>& folders);

    // Replaces the 32-bit millisecond clock and the wait an exchange takes (tests, scripted runs).
    void setClock(SessionClock clock);
    // The session's clock now, in milliseconds.
    uint32_t clockNow() const;
    // The vehicle as loaded.
    const VehicleDescription& vehicle() const;
    // Whether the tester opened communication with the ECU and has not closed it; throws for an unknown name.
    bool communicationOpen(const std::string& ecuName) const;

  private:
    KwpSession(std::shared_ptr<const VehicleDescription> vehicle, const std::string& connection);
    size_t ecuIndex(const std::string& ecuName) const;

    std::shared_ptr<VehicleRuntime> runtime_;
    std::vector<std::shared_ptr<KwpEcu>> ecus_;
};

}  // namespace TavrinKwp
