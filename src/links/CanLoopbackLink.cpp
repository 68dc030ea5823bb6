#include "CanLoopbackLink.h"

namespace Sorvik3Sim {

CanLoopbackLink::CanLoopbackLink(std::string name, std::shared_ptr<VehicleSimulator> simulator, CanOptions options)
    : simulator_(std::move(simulator)), bus_(std::make_unique<CanBusPort>(options.plugin, options.interface, options.device))
{
    server_ = std::make_unique<CanEcuServer>(*simulator_, *bus_, EcuServerOptions{}, faults_);
    line_ = std::make_unique<CanLink>(std::move(name), options);
    serving_ = std::thread([this] { server_->run(stop_); });
}

CanLoopbackLink::~CanLoopbackLink()
{
    line_.reset();
    stop_ = true;
    serving_.join();
}

}  // namespace Sorvik3Sim
