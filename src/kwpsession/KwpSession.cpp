#include "KwpSession.h"

#include "ErrorNumbers.h"
#include "KwpObjects.h"
#include "LineCall.h"
#include "LinkRegistry.h"
#include "SessionClock.h"
#include "VehicleLoader.h"
#include "VehicleRuntime.h"

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
    : runtime_(std::make_shared<VehicleRuntime>(vehicle, openLink(connection, vehicle)))
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

void KwpSession::WatchLine(std::function<void(const Sorvik3::Error&)> lost)
{
    runtime_->watchLine(std::move(lost));
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

LinkPeer* KwpSession::linkPeer() const
{
    return runtime_->peer();
}

void KwpSession::setKeyPluginFolders(const std::vector<std::string>& folders)
{
    runtime_->keyPlugins().setFolders(folders);
}

void KwpSession::setClock(SessionClock clock)
{
    runtime_->setClock(std::move(clock));
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

bool KwpSession::communicationOpen(const std::string& ecuName) const
{
    return runtime_->initialized(ecuIndex(ecuName));
}

}  // namespace TavrinKwp
