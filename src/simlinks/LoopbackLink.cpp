#include "LoopbackLink.h"

namespace TavrinKwp {

LoopbackLink::LoopbackLink(std::string name, std::shared_ptr<VehicleSimulator> simulator, KLineOptions options)
    : SimulatedLineLink(std::move(simulator)), terminal_(openPseudoTerminal())
{
    server_ = std::make_unique<KLineEcuServer>(*simulator_, *terminal_, EcuServerOptions{options.echo, {}}, faults_);
    options.port = terminal_->peerPath();
    line_ = std::make_unique<KLineLink>(std::move(name), options);
    // The simulated ECUs judge silence on the session's clock, so the tester does too.
    line_->setSilenceClock([this] { return simulator_->clock().now(); });
    serving_ = std::thread([this] {
        server_->run(stop_);
        // Pulled out: the tester's port sees its far end gone.
        if (faults_.unplugged) terminal_.reset();
    });
}

LoopbackLink::~LoopbackLink()
{
    stop_ = true;
    serving_.join();
}

}  // namespace TavrinKwp
