// The simulated vehicle as its ECUs see the line: each ECU knows a request
// from its bytes, answers it (after "response pending" answers where the
// description asks for them), keeps its communication open while requests
// come within P3max, and applies the faults to inject. It serves the
// in-process link and, through a port server, real ports.
#pragma once

#include "FaultInjector.h"
#include "RequestMatcher.h"
#include "SessionClock.h"
#include "SimulatedEcu.h"
#include "VehicleModel.h"

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace TavrinKwp {

class VehicleSimulator {
  public:
    explicit VehicleSimulator(std::shared_ptr<const VehicleDescription> model);

    const VehicleDescription& model() const { return *model_; }
    SessionClock& clock() { return clock_; }
    FaultInjector& faults() { return faults_; }
    SimulatedEcu& ecu(size_t index) { return ecus_[index].behaviour; }
    // The ECU with this physical address.
    std::optional<size_t> ecuAt(uint8_t address) const;
    // Whether the ECU holds a communication with the tester open.
    bool communicating(size_t index) const { return ecus_[index].communicating; }

    using Reply = std::function<void(const Bytes& answer)>;
    // One request (service bytes) to an ECU: reply is called with each answer in
    // order, "response pending" first, with the clock moved on between them; not
    // at all when the ECU stays silent.
    // A UDS ECU on CAN knows no StartCommunication (it always listens); on the
    // K-line it takes one as ISO 14230-2 has it.
    enum class Transport { KLine, Can };
    void serve(size_t index, const Bytes& request, const Reply& reply, Transport transport = Transport::KLine);

    // Told of every request that reaches an ECU (the ECU's index, its service
    // bytes), before the ECU acts on it; called with the simulator's lock held.
    using Observer = std::function<void(size_t ecu, const Bytes& request)>;
    void observe(Observer observer) { observer_ = std::move(observer); }

    // Served from another thread (a port server) while the host reads the ECUs' state.
    std::mutex& mutex() { return mutex_; }

    static constexpr uint32_t kPendingIntervalMs = 100;
    // A late answer comes this long after P2max.
    static constexpr uint32_t kLateByMs = 20;

  private:
    struct EcuLine {
        SimulatedEcu behaviour;
        RequestMatcher matcher;
        bool communicating = false;
        uint32_t lastActivity = 0;
        Bytes lastAnswer;  // what a stale answer repeats
    };
    void answerRequest(EcuLine& line, const Bytes& request, const Reply& reply);
    void spoiled(FaultDescription::Kind kind, const EcuDescription& model, const Bytes& answer, const Bytes& previous,
                 const Reply& reply);

    std::shared_ptr<const VehicleDescription> model_;
    SessionClock clock_;
    FaultInjector faults_;
    std::vector<EcuLine> ecus_;
    std::mutex mutex_;
    Observer observer_;
};

}  // namespace TavrinKwp
