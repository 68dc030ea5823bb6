// The simulated vehicle behind an emulated ELM327 adapter on a pseudo-terminal
// served by a thread of this process, reached through the real ELM link: every
// command and answer crosses a real port as text, while the host can still
// read and steer the simulated ECUs and the adapter's faults.
#pragma once

#include "ByteChannel.h"
#include "ElmEmulator.h"
#include "ElmLink.h"
#include "ErrorNumbers.h"
#include "Sorvik3.h"
#include "VehicleSimulator.h"

#include <atomic>
#include <thread>

namespace TavrinKwp {

class ElmLoopbackLink final : public Link {
  public:
    ElmLoopbackLink(std::string name, std::shared_ptr<VehicleSimulator> simulator, ElmOptions options, bool stn);
    ~ElmLoopbackLink() override;

    std::string name() const override { return line_->name(); }
    void startCommunication(const EcuDescription& ecu, WireRecord& wire) override
    {
        onSimulatedTime(line_->answerTimeout(ecu), [&] { line_->startCommunication(ecu, wire); });
    }
    void stopCommunication(const EcuDescription& ecu) override { line_->stopCommunication(ecu); }
    Bytes frame(const EcuDescription& ecu, const Bytes& request) const override { return line_->frame(ecu, request); }
    Bytes exchange(const EcuDescription& ecu, const std::string& what, const Bytes& request, WireRecord& wire) override
    {
        Bytes answer;
        onSimulatedTime(line_->answerTimeout(ecu), [&] { answer = line_->exchange(ecu, what, request, wire); });
        return answer;
    }
    Bytes nextAnswer(const EcuDescription& ecu, const std::string& what, uint32_t timeoutMs, WireRecord& wire) override
    {
        Bytes answer;
        onSimulatedTime(timeoutMs, [&] { answer = line_->nextAnswer(ecu, what, timeoutMs, wire); });
        return answer;
    }
    uint32_t answerTimeout(const EcuDescription& ecu) const override { return line_->answerTimeout(ecu); }
    uint32_t pendingTimeout(const EcuDescription& ecu) const override { return line_->pendingTimeout(ecu); }
    void interrupt() override { line_->interrupt(); }
    std::vector<std::string> checkAdapter(const VehicleDescription& vehicle) override
    {
        return line_->checkAdapter(vehicle);
    }
    TransportFaults& transportFaults() { return faults_; }

  private:
    // The simulated vehicle lives on the session's clock, which may be a scripted one:
    // the wait for an answer that never came passes on that clock too.
    template <typename Step>
    void onSimulatedTime(uint32_t timeoutMs, Step step)
    {
        try {
            step();
        } catch (const Sorvik3::Error& error) {
            if (error.number() == number(SessionError::NoAnswer)) simulator_->clock().sleep(timeoutMs);
            throw;
        }
    }

    std::shared_ptr<VehicleSimulator> simulator_;
    std::unique_ptr<ByteChannel> terminal_;
    TransportFaults faults_;
    std::unique_ptr<ElmEmulator> adapter_;
    std::unique_ptr<ElmLink> line_;
    std::atomic<bool> stop_{false};
    std::thread serving_;
};

}  // namespace TavrinKwp
