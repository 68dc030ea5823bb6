#include "SimSession.h"

#include "ErrorNumbers.h"
#include "SimObjects.h"
#include "VehicleLoader.h"
#include "VehicleRuntime.h"

namespace Sorvik3Sim {

std::shared_ptr<SimSession> SimSession::load(const std::string& path)
{
    return std::make_shared<SimSession>(loadVehicleFile(path));
}

std::shared_ptr<SimSession> SimSession::fromText(const std::string& xml, const std::string& name)
{
    return std::make_shared<SimSession>(loadVehicleText(xml, name));
}

SimSession::SimSession(VehicleDescription vehicle) : runtime_(std::make_shared<VehicleRuntime>(std::move(vehicle)))
{
    for (size_t i = 0; i < runtime_->model().ecus.size(); ++i) {
        auto ecu = std::make_shared<SimEcu>(runtime_, i);
        ecu->createRequests();
        ecus_.push_back(std::move(ecu));
    }
}

std::vector<Sorvik3::EcuRef> SimSession::Ecus()
{
    return {ecus_.begin(), ecus_.end()};
}

bool SimSession::CommunicationStopped()
{
    return runtime_->communicationStopped();
}

void SimSession::StopCommunication()
{
    runtime_->stopCommunication();
}

Sorvik3::ReadListRef SimSession::CreateReadList()
{
    return std::make_shared<SimReadList>();
}

void SimSession::setClock(SimClock clock)
{
    runtime_->clock() = std::move(clock);
}

FaultInjector& SimSession::faults()
{
    return runtime_->faults();
}

uint32_t SimSession::clockNow() const
{
    return runtime_->clock().now();
}

const VehicleDescription& SimSession::vehicle() const
{
    return runtime_->model();
}

size_t SimSession::ecuIndex(const std::string& ecuName) const
{
    const auto& ecus = runtime_->model().ecus;
    for (size_t i = 0; i < ecus.size(); ++i) {
        if (ecus[i].name == ecuName) return i;
    }
    throw Sorvik3::Error(UnknownName, "Unknown ECU '" + ecuName + "'");
}

SimulatedEcu& SimSession::behaviour(const std::string& ecuName)
{
    return runtime_->ecu(ecuIndex(ecuName));
}

bool SimSession::communicationOpen(const std::string& ecuName) const
{
    return runtime_->initialized(ecuIndex(ecuName));
}

}  // namespace Sorvik3Sim
