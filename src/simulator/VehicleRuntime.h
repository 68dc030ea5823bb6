// The simulated vehicle at run time: its description, its ECUs, the K-line
// between tester and ECUs with its timing, and the faults to inject. Every
// session-library object holds it, so a request can still be sent after the
// object that handed it out is gone.
#pragma once

#include "FaultInjector.h"
#include "Kwp2000Frame.h"
#include "SimClock.h"
#include "SimulatedEcu.h"
#include "VehicleModel.h"

#include <memory>
#include <vector>

namespace Sorvik3Sim {

struct Exchange {
    Bytes sentFrame;
    Bytes receivedFrame;  // the final answer; empty when none came
    Bytes answer;         // its service bytes
};

class VehicleRuntime {
  public:
    explicit VehicleRuntime(VehicleDescription model);

    const VehicleDescription& model() const { return model_; }
    SimClock& clock() { return clock_; }
    FaultInjector& faults() { return faults_; }
    SimulatedEcu& ecu(size_t index) { return ecus_[index].behaviour; }

    bool initialized(size_t ecu) const { return ecus_[ecu].initialized; }
    void init(size_t ecu);
    bool communicationStopped() const;
    void stopCommunication();

    // Sends a request and waits for its final answer; fills the exchange as it
    // goes, so the frames are known even when it throws.
    void transmit(size_t ecu, const RequestDescription& request, const Bytes& data, Exchange& exchange);

    static constexpr uint32_t kAnswerTimeoutMs = 1000;
    static constexpr uint32_t kPendingIntervalMs = 100;
    static constexpr int kMaxPendingAnswers = 100;

  private:
    struct EcuLine {
        SimulatedEcu behaviour;
        bool initialized = false;
    };
    void wait(size_t bytes);

    VehicleDescription model_;
    SimClock clock_;
    FaultInjector faults_;
    std::vector<EcuLine> ecus_;
};

}  // namespace Sorvik3Sim
