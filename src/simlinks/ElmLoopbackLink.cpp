#include "ElmLoopbackLink.h"

namespace TavrinKwp {

ElmLoopbackLink::ElmLoopbackLink(std::string name, std::shared_ptr<VehicleSimulator> simulator, ElmOptions options,
                                 bool stn)
    : SimulatedLineLink(std::move(simulator)), terminal_(openPseudoTerminal())
{
    adapter_ = std::make_unique<ElmEmulator>(*simulator_, *terminal_, ElmEmulatorOptions{stn, {}}, faults_);
    options.port = terminal_->peerPath();
    // A pseudo-terminal has no rate: the first one tried answers.
    if (options.baud == 0) options.baud = 38400;
    line_ = std::make_unique<ElmLink>(std::move(name), options);
    serving_ = std::thread([this] {
        adapter_->run(stop_);
        // Pulled out: the tester's port sees its far end gone.
        if (faults_.unplugged) terminal_.reset();
    });
}

ElmLoopbackLink::~ElmLoopbackLink()
{
    line_.reset();
    stop_ = true;
    serving_.join();
}

}  // namespace TavrinKwp
