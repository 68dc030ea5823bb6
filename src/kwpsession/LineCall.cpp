#include "LineCall.h"

#include "ErrorNumbers.h"
#include "VehicleRuntime.h"

#include <atomic>
#include <exception>
#include <utility>

namespace TavrinKwp {
namespace {

// What the line's thread hands to the caller's: set before `over`, read after it.
struct Outcome {
    std::exception_ptr failure;
    std::atomic<bool> over{false};
};

class PendingLineCall final : public Sorvik3::PendingCall {
  public:
    PendingLineCall(std::shared_ptr<Outcome> outcome, std::function<void()> onFinish)
        : outcome_(std::move(outcome)), onFinish_(std::move(onFinish))
    {}

    void Finish() override
    {
        if (!outcome_->over)
            throw sessionError(SessionError::LinkBusy, "The call is still on the line: it cannot be finished yet");
        if (std::exchange(finished_, true)) throw sessionError(SessionError::LinkBusy, "The call was already finished");
        if (onFinish_) onFinish_();
        if (outcome_->failure) std::rethrow_exception(outcome_->failure);
    }

  private:
    std::shared_ptr<Outcome> outcome_;
    std::function<void()> onFinish_;
    bool finished_ = false;
};

}  // namespace

Sorvik3::PendingCallRef beginLineCall(VehicleRuntime& runtime, std::function<void()> work, std::function<void()> done,
                                      std::function<void()> onFinish)
{
    auto outcome = std::make_shared<Outcome>();
    auto pending = std::make_shared<PendingLineCall>(outcome, std::move(onFinish));
    runtime.post([outcome, work = std::move(work), done = std::move(done)] {
        try {
            work();
        } catch (...) {
            outcome->failure = std::current_exception();
        }
        outcome->over = true;
        if (done) done();
    });
    return pending;
}

}  // namespace TavrinKwp
