#include "KwpSession.h"

#include "ErrorNumbers.h"
#include "FaultInjector.h"
#include "KwpObjects.h"
#include "LineCall.h"
#include "SessionClock.h"
#include "SimulatedEcu.h"
#include "VehicleLink.h"
#include "VehicleLoader.h"
#include "VehicleRuntime.h"
#include "VehicleSimulator.h"

namespace TavrinKwp {

std::shared_ptr<KwpSession> KwpSession::load(const std::string& path, const std::string& connection)
{
    return std::make_shared<KwpSession>(loadVehicleFile(path), connection);
}

std::shared_ptr<KwpSession> KwpSession::fromText(const std::string& xml, const std::string& name,
                                                 const std::string& connection)
{
    return std::make_shared<KwpSession>(loadVehicleText(xml, name), connection);
}

KwpSession::KwpSession(VehicleDescription vehicle) : KwpSession(std::move(vehicle), "sim")
{}

KwpSession::KwpSession(VehicleDescription vehicle, const std::string& connection)
    : KwpSession(std::make_shared<const VehicleDescription>(std::move(vehicle)), connection)
{}

KwpSession::KwpSession(std::shared_ptr<const VehicleDescription> vehicle, const std::string& connection)
    : runtime_(std::make_shared<VehicleRuntime>(vehicle, openVehicleLink(connection, vehicle)))
{
    for (size_t i = 0; i < runtime_->model().ecus.size(); ++i) {
        auto ecu = std::make_shared<KwpEcu>(runtime_, i);
        ecu->createRequests();
        ecus_.push_back(std::move(ecu));
    }
}

std::vector<Sorvik3::EcuRef> KwpSession::Ecus()
{
    return {ecus_.begin(), ecus_.end()};
}

bool KwpSession::CommunicationStopped()
{
    return runtime_->communicationStopped();
}

void KwpSession::InterruptWait()
{
    runtime_->interrupt();
}

void KwpSession::StopCommunication()
{
    runtime_->stopCommunication();
}

Sorvik3::PendingCallRef KwpSession::BeginSend(const Sorvik3::RequestRef& request, std::function<void()> done)
{
    auto* own = dynamic_cast<KwpRequest*>(request.get());
    if (!own) throw sessionError(SessionError::UnknownName, "A request of another session library cannot be sent here");
    return own->beginSend(std::move(done));
}

Sorvik3::PendingCallRef KwpSession::BeginInit(const Sorvik3::EcuRef& ecu, std::function<void()> done)
{
    auto* own = dynamic_cast<KwpEcu*>(ecu.get());
    if (!own) throw sessionError(SessionError::UnknownName, "An ECU of another session library cannot be started here");
    return own->beginInit(std::move(done));
}

Sorvik3::PendingCallRef KwpSession::BeginStopCommunication(std::function<void()> done)
{
    VehicleRuntime* runtime = runtime_.get();
    return beginLineCall(
        *runtime, [runtime] { runtime->stopCommunication(); }, std::move(done));
}

Sorvik3::ReadListRef KwpSession::CreateReadList()
{
    return std::make_shared<KwpReadList>();
}

std::string KwpSession::linkName() const
{
    return runtime_->link().name();
}

std::vector<std::string> KwpSession::checkAdapter()
{
    return runtime_->link().checkAdapter(vehicle());
}

TransportFaults& KwpSession::lineFaults()
{
    if (auto* faults = runtime_->lineFaults()) return *faults;
    throw sessionError(SessionError::NotSimulated,
                       "Link '" + linkName() + "' has no simulated line whose faults could be set");
}

bool KwpSession::simulated() const
{
    return runtime_->simulator() != nullptr;
}

VehicleSimulator& KwpSession::simulator() const
{
    if (auto* simulator = runtime_->simulator()) return *simulator;
    throw sessionError(SessionError::NotSimulated,
                       "Link '" + linkName() + "' reaches a real vehicle, not the simulated one");
}

void KwpSession::setClock(SessionClock clock)
{
    runtime_->setClock(std::move(clock));
}

void KwpSession::observeRequests(std::function<void(const std::string& ecu, const Bytes& request)> observer)
{
    auto& vehicle = simulator();
    std::lock_guard lock(vehicle.mutex());
    if (!observer) return vehicle.observe(nullptr);
    vehicle.observe([model = &vehicle.model(), observer = std::move(observer)](size_t ecu, const Bytes& request) {
        observer(model->ecus[ecu].name, request);
    });
}

FaultInjector& KwpSession::faults()
{
    return simulator().faults();
}

uint32_t KwpSession::clockNow() const
{
    return runtime_->clock().now();
}

const VehicleDescription& KwpSession::vehicle() const
{
    return runtime_->model();
}

size_t KwpSession::ecuIndex(const std::string& ecuName) const
{
    const auto& ecus = runtime_->model().ecus;
    for (size_t i = 0; i < ecus.size(); ++i) {
        if (ecus[i].name == ecuName) return i;
    }
    throw sessionError(SessionError::UnknownName, "Unknown ECU '" + ecuName + "'");
}

SimulatedEcu& KwpSession::behaviour(const std::string& ecuName)
{
    return simulator().ecu(ecuIndex(ecuName));
}

bool KwpSession::communicationOpen(const std::string& ecuName) const
{
    return runtime_->initialized(ecuIndex(ecuName));
}

}  // namespace TavrinKwp
