// The simulated vehicle served on a virtual CAN bus by a thread of this
// process and reached through the real CAN link: every frame crosses Qt Serial
// Bus, while the host can still read and steer the simulated ECUs.
#pragma once

#include "CanEcuServer.h"
#include "CanLink.h"
#include "ErrorNumbers.h"
#include "Sorvik3.h"
#include "VehicleSimulator.h"

#include <atomic>
#include <thread>

namespace TavrinKwp {

// The virtual CAN bus of can:loopback: a bus of this process's own, on a local
// TCP port that was free when it was first asked for, so other programs on the
// virtual bus (or their tests) never see its frames nor it theirs. The same for
// the whole process: the virtual bus serves one port a process.
std::string loopbackCanInterface();

class CanLoopbackLink final : public Link {
  public:
    CanLoopbackLink(std::string name, std::shared_ptr<VehicleSimulator> simulator, CanOptions options);
    ~CanLoopbackLink() override;

    std::string name() const override { return line_->name(); }
    void startCommunication(const EcuDescription& ecu, WireRecord& wire) override
    {
        onSimulatedTime(ecu, [&] { line_->startCommunication(ecu, wire); });
    }
    void stopCommunication(const EcuDescription& ecu) override { line_->stopCommunication(ecu); }
    Bytes frame(const EcuDescription& ecu, const Bytes& request) const override { return line_->frame(ecu, request); }
    Bytes exchange(const EcuDescription& ecu, const std::string& what, const Bytes& request, WireRecord& wire) override
    {
        Bytes answer;
        onSimulatedTime(ecu, [&] { answer = line_->exchange(ecu, what, request, wire); });
        return answer;
    }
    Bytes nextAnswer(const EcuDescription& ecu, const std::string& what, uint32_t timeoutMs, WireRecord& wire) override
    {
        return line_->nextAnswer(ecu, what, timeoutMs, wire);
    }
    uint32_t pendingTimeout(const EcuDescription& ecu) const override { return line_->pendingTimeout(ecu); }
    void interrupt() override { line_->interrupt(); }
    uint32_t answerTimeout(const EcuDescription& ecu) const override { return line_->answerTimeout(ecu); }
    TransportFaults& transportFaults() { return faults_; }

  private:
    // As over the K-line loopback: the wait for a silent ECU passes on the session's clock too.
    template <typename Step>
    void onSimulatedTime(const EcuDescription& ecu, Step step)
    {
        try {
            step();
        } catch (const Sorvik3::Error& error) {
            if (error.number() == number(SessionError::NoAnswer) && ecu.can) simulator_->clock().sleep(ecu.can->p2Max);
            throw;
        }
    }

    std::shared_ptr<VehicleSimulator> simulator_;
    std::unique_ptr<CanBusPort> bus_;
    TransportFaults faults_;
    std::unique_ptr<CanEcuServer> server_;
    std::unique_ptr<CanLink> line_;
    std::atomic<bool> stop_{false};
    std::thread serving_;
};

}  // namespace TavrinKwp
