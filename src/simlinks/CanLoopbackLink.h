// The simulated vehicle served on a virtual CAN bus by a thread of this
// process and reached through the real CAN link: every frame crosses Qt Serial
// Bus, while the host can still read and steer the simulated ECUs.
#pragma once

#include "CanEcuServer.h"
#include "CanLink.h"
#include "SimulatedLineLink.h"

#include <atomic>
#include <thread>

namespace TavrinKwp {

// The virtual CAN bus of can:loopback: a bus of this process's own, on a local
// TCP port that was free when it was first asked for, so other programs on the
// virtual bus (or their tests) never see its frames nor it theirs. The same for
// the whole process: the virtual bus serves one port a process.
std::string loopbackCanInterface();

class CanLoopbackLink final : public SimulatedLineLink {
  public:
    CanLoopbackLink(std::string name, std::shared_ptr<VehicleSimulator> simulator, CanOptions options);
    ~CanLoopbackLink() override;

    // A CAN answer after "response pending" is timed by the link alone.
    Bytes nextAnswer(const EcuDescription& ecu, const std::string& what, uint32_t timeoutMs, WireRecord& wire) override
    {
        return line_->nextAnswer(ecu, what, timeoutMs, wire);
    }

  private:
    Link& line() const override { return *line_; }

    std::unique_ptr<CanBusPort> bus_;
    std::unique_ptr<CanEcuServer> server_;
    std::unique_ptr<CanLink> line_;
    std::atomic<bool> stop_{false};
    std::thread serving_;
};

}  // namespace TavrinKwp
