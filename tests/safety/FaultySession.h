// A session library that counts every call the control makes on every object
// and fails call number N in a chosen way, forwarding everything else to the
// simulated vehicle. Negative answers and timeouts are made by the simulated
// ECU itself, so the ECU's view of its devices stays true.
#pragma once

#include "KwpSession.h"
#include "Sorvik3.h"

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>

namespace FaultSweep {

// How call N fails. The answers' faults are made by the simulated ECU: Timeout
// ignores the request; Lost, Late, Cut and Stale act on it and spoil the answer.
// LinkDead fails every call from N on; Persistent answers that request (or
// initialisation) negatively from N on.
enum class Way {
    SessionError,
    OtherException,
    NotAnException,
    NegativeAnswer,
    Timeout,
    Lost,
    Late,
    Cut,
    Stale,
    LinkDead,
    Persistent
};

class CallCounter {
  public:
    CallCounter(std::shared_ptr<TavrinKwp::KwpSession> vehicle, int64_t failAt, Way way)
        : vehicle_(std::move(vehicle)), failAt_(failAt), way_(way)
    {}

    // Called on entry of every wrapped member; throws or arms the ECU's fault for the chosen call.
    void enter(const char* member, const std::string& ecu = {}, const std::string& request = {});
    int64_t calls() const { return calls_; }
    // Whether call N was one that the chosen way can fail (every call for exceptions, Send and Init for answers).
    bool applied() const { return applied_; }

    template <typename Wrapper, typename Inner>
    std::shared_ptr<Wrapper> wrap(const std::shared_ptr<Inner>& inner);

  private:
    std::shared_ptr<TavrinKwp::KwpSession> vehicle_;
    int64_t failAt_;
    Way way_;
    int64_t calls_ = 0;
    bool applied_ = false;
    // One wrapper per inner object, so the control's identity comparisons hold.
    std::unordered_map<const void*, std::weak_ptr<void>> wrappers_;
};

std::shared_ptr<Sorvik3::Session> faultySession(const std::shared_ptr<CallCounter>& counter,
                                                std::shared_ptr<TavrinKwp::KwpSession> vehicle);

}  // namespace FaultSweep
