// The session library's side of a vehicle: its description, the link to its
// ECUs and which of them the tester opened communication with. Every
// session-library object holds it, so a request can still be sent after the
// object that handed it out is gone.
#pragma once

#include "HexText.h"
#include "KeyPlugins.h"
#include "Link.h"
#include "LinkRegistry.h"
#include "SessionClock.h"
#include "Sorvik3.h"
#include "VehicleModel.h"

#include <atomic>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace TavrinKwp {

class OffThreadLink;

struct Exchange {
    Bytes sentFrame;
    Bytes receivedFrame;  // the final answer; empty when none came
    Bytes answer;         // its service bytes
};

class VehicleRuntime {
  public:
    VehicleRuntime(std::shared_ptr<const VehicleDescription> model, OpenedLink link);
    // Closes the communication with every ECU still open, as the ECUs expect on any way out.
    ~VehicleRuntime();
    VehicleRuntime(const VehicleRuntime&) = delete;
    VehicleRuntime& operator=(const VehicleRuntime&) = delete;

    const VehicleDescription& model() const { return *model_; }
    Link& link() { return *link_; }
    const Link& link() const { return *link_; }
    // What the process serves at the other end of the link; null on a link to a real vehicle.
    LinkPeer* peer() const { return peer_.get(); }
    SessionClock& clock() { return clock_; }
    void setClock(SessionClock clock);

    bool initialized(size_t ecu) const;
    // Opens the communication; a failure leaves the ECU's mark as it was.
    void init(size_t ecu);
    bool communicationStopped() const;
    void stopCommunication();

    // Sends a request and waits for its final answer; fills the exchange as it
    // goes, so the frames are known even when it throws.
    void transmit(size_t ecu, const RequestDescription& request, const Bytes& data, Exchange& exchange);
    // Gives up the wait through "response pending" of the request under way (from any thread).
    void interrupt();
    // Carries the job out after every call already on the line: on the line's own
    // thread when it has one (the call returns at once), else now. The job must
    // catch what it throws; it may use this runtime, which waits for it before it goes.
    void post(std::function<void()> job);
    // Told when the line goes away between calls (OffThreadLink::onLost); a line without a thread tells nothing.
    void watchLine(std::function<void(const Sorvik3::Error&)> lost);
    // Where SecurityAccess key plug-ins are looked for.
    KeyPlugins& keyPlugins() { return keyPlugins_; }

    // "Response pending" is waited through at most this often and this long.
    static constexpr int kMaxPendingAnswers = 100;
    static constexpr uint32_t kPendingLimitMs = 60000;
    // Answers to other requests dropped while waiting for this one's.
    static constexpr int kMaxStaleAnswers = 3;

  private:
    Bytes ownAnswer(const EcuDescription& ecu, const RequestDescription& request, const Bytes& data, Bytes answer,
                    WireRecord& wire);
    Bytes finalAnswer(const EcuDescription& ecu, const RequestDescription& request, Bytes answer, WireRecord& wire);
    // A request left without an answer, whose late answer may still come.
    struct Unanswered {
        std::string request;
        uint8_t service = 0;
        uint32_t at = 0;
        uint32_t window = 0;
    };
    void noteUnanswered(size_t ecu, const RequestDescription& request, const Sorvik3::Error& error);
    void refuseMaybeLate(size_t ecu, const RequestDescription& request, const Bytes& answer);
    // The diagnostic session a request was last granted in, to open again when
    // P3max of silence ended the communication (and with it the session).
    struct Granted {
        const RequestDescription* request = nullptr;
        Bytes data;
        uint32_t lastExchange = 0;
    };
    void reopenSession(size_t ecu);
    void noteExchange(size_t ecu, const RequestDescription& request, const Bytes& data, const Bytes& answer);

    // UDS (UdsSteps.cpp): what a UDS ECU needs around a request.
    Bytes answerOf(size_t ecu, const RequestDescription& request, const Bytes& data, WireRecord& wire);
    Bytes suppressedAnswer(const EcuDescription& ecu, const RequestDescription& request, const Bytes& data,
                           WireRecord& wire);
    void unlockFor(size_t ecu, const RequestDescription& request, const Bytes& data);
    Bytes securityStep(const EcuDescription& ecu, const RequestDescription& step, const Bytes& data);
    void noteServerTiming(const EcuDescription& ecu, const RequestDescription& request, const Bytes& answer);
    [[noreturn]] void tellControlReturned(const EcuDescription& ecu, const Bytes& data, const Sorvik3::Error& error);

    std::shared_ptr<const VehicleDescription> model_;
    std::shared_ptr<Link> link_;
    std::shared_ptr<LinkPeer> peer_;
    SessionClock clock_;
    OffThreadLink* offThread_ = nullptr;  // the link, when its work runs on a thread of its own
    // A link without a thread: jobs posted while one runs (from a callback of the
    // simulated clock, say) wait for it, in order, as they would on a thread.
    std::deque<std::function<void()>> inlineJobs_;
    bool runningInline_ = false;
    mutable std::mutex marks_;  // initialized_ is read on the caller's thread, written by jobs
    std::vector<bool> initialized_;
    std::vector<std::optional<Unanswered>> unanswered_;  // per ECU; used by jobs only
    std::vector<Granted> granted_;                       // per ECU; used by jobs only
    std::vector<bool> unlocked_;                         // per ECU: SecurityAccess granted; used by jobs only
    KeyPlugins keyPlugins_;
    std::atomic<bool> interrupted_{false};
};

}  // namespace TavrinKwp
