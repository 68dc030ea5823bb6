// The simulated vehicle behind an emulated ELM327 adapter on a pseudo-terminal
// served by a thread of this process, reached through the real ELM link: every
// command and answer crosses a real port as text, while the host can still
// read and steer the simulated ECUs and the adapter's faults.
#pragma once

#include "ByteChannel.h"
#include "ElmEmulator.h"
#include "ElmLink.h"
#include "SimulatedLineLink.h"

#include <atomic>
#include <thread>

namespace TavrinKwp {

class ElmLoopbackLink final : public SimulatedLineLink {
  public:
    ElmLoopbackLink(std::string name, std::shared_ptr<VehicleSimulator> simulator, ElmOptions options, bool stn);
    ~ElmLoopbackLink() override;

  private:
    Link& line() const override { return *line_; }

    std::unique_ptr<ByteChannel> terminal_;
    std::unique_ptr<ElmEmulator> adapter_;
    std::unique_ptr<ElmLink> line_;
    std::atomic<bool> stop_{false};
    std::thread serving_;
};

}  // namespace TavrinKwp
