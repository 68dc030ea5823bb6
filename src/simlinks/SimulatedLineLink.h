// What the loopbacks share: the simulated vehicle served by a thread of this
// process across a real line (a pseudo-terminal, the virtual CAN bus), reached
// through the real link of that line. Calls go to that link; the wait for an
// answer that never came passes on the simulated vehicle's clock too, which may
// be a scripted one. The host can still read and steer the simulated ECUs and
// set the faults of the line.
#pragma once

#include "ErrorNumbers.h"
#include "Link.h"
#include "Sorvik3.h"
#include "TransportFaults.h"
#include "VehicleSimulator.h"

#include <memory>

namespace TavrinKwp {

class SimulatedLineLink : public Link {
  public:
    std::string name() const override { return line().name(); }
    void startCommunication(const EcuDescription& ecu, WireRecord& wire) override
    {
        onSimulatedTime(line().answerTimeout(ecu), [&] { line().startCommunication(ecu, wire); });
    }
    void stopCommunication(const EcuDescription& ecu) override { line().stopCommunication(ecu); }
    Bytes frame(const EcuDescription& ecu, const Bytes& request) const override { return line().frame(ecu, request); }
    Bytes exchange(const EcuDescription& ecu, const std::string& what, const Bytes& request, WireRecord& wire) override
    {
        Bytes answer;
        onSimulatedTime(line().answerTimeout(ecu), [&] { answer = line().exchange(ecu, what, request, wire); });
        return answer;
    }
    Bytes nextAnswer(const EcuDescription& ecu, const std::string& what, uint32_t timeoutMs, WireRecord& wire) override
    {
        Bytes answer;
        onSimulatedTime(timeoutMs, [&] { answer = line().nextAnswer(ecu, what, timeoutMs, wire); });
        return answer;
    }
    uint32_t answerTimeout(const EcuDescription& ecu) const override { return line().answerTimeout(ecu); }
    uint32_t pendingTimeout(const EcuDescription& ecu) const override { return line().pendingTimeout(ecu); }
    void useServerTiming(const EcuDescription& ecu, uint32_t p2Ms, uint32_t p2ExtendedMs) override
    {
        line().useServerTiming(ecu, p2Ms, p2ExtendedMs);
    }
    void interrupt() override { line().interrupt(); }
    void watch() override { line().watch(); }
    std::vector<std::string> checkAdapter(const VehicleDescription& vehicle) override
    {
        return line().checkAdapter(vehicle);
    }
    TransportFaults& transportFaults() { return faults_; }

  protected:
    explicit SimulatedLineLink(std::shared_ptr<VehicleSimulator> simulator) : simulator_(std::move(simulator)) {}
    // The real link to the line.
    virtual Link& line() const = 0;

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
    TransportFaults faults_;
};

}  // namespace TavrinKwp
