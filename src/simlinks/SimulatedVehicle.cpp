#include "SimulatedVehicle.h"

#include "ErrorNumbers.h"
#include "KwpSession.h"
#include "Sorvik3.h"
#include "VehicleSimulator.h"

namespace TavrinKwp {

SimulatedVehicle::SimulatedVehicle(std::shared_ptr<VehicleSimulator> simulator, TransportFaults* lineFaults)
    : simulator_(std::move(simulator)), lineFaults_(lineFaults)
{}

void SimulatedVehicle::useClock(const SessionClock& clock)
{
    std::lock_guard lock(simulator_->mutex());
    simulator_->clock() = clock;
}

FaultInjector& SimulatedVehicle::faults()
{
    return simulator_->faults();
}

SimulatedEcu& SimulatedVehicle::behaviour(const std::string& ecuName)
{
    const auto& ecus = simulator_->model().ecus;
    for (size_t i = 0; i < ecus.size(); ++i) {
        if (ecus[i].name == ecuName) return simulator_->ecu(i);
    }
    throw sessionError(SessionError::UnknownName, "Unknown ECU '" + ecuName + "'");
}

void SimulatedVehicle::observeRequests(std::function<void(const std::string& ecu, const Bytes& request)> observer)
{
    std::lock_guard lock(simulator_->mutex());
    if (!observer) return simulator_->observe(nullptr);
    simulator_->observe([model = &simulator_->model(), observer = std::move(observer)](
                            size_t ecu, const Bytes& request) { observer(model->ecus[ecu].name, request); });
}

TransportFaults& SimulatedVehicle::lineFaults()
{
    if (lineFaults_) return *lineFaults_;
    throw sessionError(SessionError::NotSimulated,
                       "The simulated vehicle in the process has no line whose faults could be set");
}

bool isSimulated(const KwpSession& session)
{
    return dynamic_cast<SimulatedVehicle*>(session.linkPeer()) != nullptr;
}

SimulatedVehicle& simulatedVehicle(const KwpSession& session)
{
    if (auto* vehicle = dynamic_cast<SimulatedVehicle*>(session.linkPeer())) return *vehicle;
    throw sessionError(SessionError::NotSimulated,
                       "Link '" + session.linkName() + "' reaches a real vehicle, not the simulated one");
}

}  // namespace TavrinKwp
