// The simulated vehicle served on a pseudo-terminal by a thread of this
// process, and reached through the real K-line link: every byte crosses a
// real port, while the host can still read and steer the simulated ECUs.
#pragma once

#include "ByteChannel.h"
#include "KLineEcuServer.h"
#include "KLineLink.h"
#include "SimulatedLineLink.h"

#include <atomic>
#include <thread>

namespace TavrinKwp {

class LoopbackLink final : public SimulatedLineLink {
  public:
    LoopbackLink(std::string name, std::shared_ptr<VehicleSimulator> simulator, KLineOptions options);
    ~LoopbackLink() override;

  private:
    Link& line() const override { return *line_; }

    std::unique_ptr<ByteChannel> terminal_;
    std::unique_ptr<KLineEcuServer> server_;
    std::unique_ptr<KLineLink> line_;
    std::atomic<bool> stop_{false};
    std::thread serving_;
};

}  // namespace TavrinKwp
