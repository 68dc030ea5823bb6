// The link to the ECU simulator in the same process: an ideal K-line whose
// only delay is the vehicle's simulated bus time, on the simulator's clock.
#pragma once

#include "Kwp2000Frame.h"
#include "Link.h"
#include "VehicleSimulator.h"

#include <deque>
#include <memory>
#include <vector>

namespace TavrinKwp {

class InProcessLink final : public Link {
  public:
    explicit InProcessLink(std::shared_ptr<VehicleSimulator> simulator);

    std::string name() const override { return "sim"; }
    void startCommunication(const EcuDescription& ecu, WireRecord& wire) override;
    void stopCommunication(const EcuDescription& ecu) override;
    Bytes frame(const EcuDescription& ecu, const Bytes& request) const override;
    Bytes exchange(const EcuDescription& ecu, const std::string& what, const Bytes& request, WireRecord& wire) override;
    Bytes nextAnswer(const EcuDescription& ecu, const std::string& what, uint32_t timeoutMs, WireRecord& wire) override;

  private:
    struct EcuState {
        bool started = false;
        HeaderForm form;
        uint32_t lastAnswer = 0;
    };
    size_t indexOf(const EcuDescription& ecu) const;
    void send(size_t index, const Bytes& request, WireRecord& wire);
    // The simulated line's time for these bytes, with the vehicle's latency per exchange.
    void busTime(size_t bytes, bool withLatency);

    std::shared_ptr<VehicleSimulator> simulator_;
    std::vector<EcuState> ecus_;
    struct Arrival {
        Bytes answer;
        uint32_t at = 0;  // the simulated clock when the ECU sent it
    };
    std::deque<Arrival> answers_;
    uint32_t waitingSince_ = 0;  // the request sent, or the answer read last
};

}  // namespace TavrinKwp
