// A link whose work (bytes, timing, echo, answers) runs on a thread of its own,
// so the thread that asks never sleeps through the line's timing. Work comes
// as jobs, carried out one after the other in the order posted: post() returns
// at once (the session library's asynchronous calls), the Link calls made from
// another thread wait for their own job without serving any event, and a Link
// call made by a job on the line's thread runs at once.
#pragma once

#include <TavrinIoCtl/Sorvik3.h>
#include <TavrinKwpSession/Link.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

class QThread;

namespace TavrinKwp {

class OffThreadLink final : public Link {
  public:
    explicit OffThreadLink(std::unique_ptr<Link> line);
    // The jobs posted are carried out first; then the line is let go of on its own thread, which ends.
    ~OffThreadLink() override;

    // Carries the job out on the line's thread after every job posted before it;
    // returns at once. The job catches what it throws.
    void post(std::function<void()> job);
    // Whether the caller is the line's own thread (a job).
    bool onLineThread() const;
    // Returns when every job posted so far is done.
    void drain()
    {
        run([] {});
    }

    std::string name() const override { return name_; }
    void startCommunication(const EcuDescription& ecu, WireRecord& wire) override;
    void stopCommunication(const EcuDescription& ecu) override;
    // Frames and timeouts follow from the ECU's description alone: no job needed.
    Bytes frame(const EcuDescription& ecu, const Bytes& request) const override { return line_->frame(ecu, request); }
    Bytes exchange(const EcuDescription& ecu, const std::string& what, const Bytes& request, WireRecord& wire) override;
    Bytes nextAnswer(const EcuDescription& ecu, const std::string& what, uint32_t timeoutMs, WireRecord& wire) override;
    uint32_t answerTimeout(const EcuDescription& ecu) const override { return line_->answerTimeout(ecu); }
    uint32_t pendingTimeout(const EcuDescription& ecu) const override { return line_->pendingTimeout(ecu); }
    void useServerTiming(const EcuDescription& ecu, uint32_t p2Ms, uint32_t p2ExtendedMs) override
    {
        line_->useServerTiming(ecu, p2Ms, p2ExtendedMs);
    }
    void interrupt() override { line_->interrupt(); }
    std::vector<std::string> checkAdapter(const VehicleDescription& vehicle) override;
    // Told, from the line's thread, when the line goes away between calls (an
    // unplugged interface or adapter): once a loss, again only after a start of
    // communication. Once this returns, the former one is not running and is not called again.
    void onLost(std::function<void(const Sorvik3::Error&)> told);

    // The line itself, for its own calls (tests, fault injection).
    Link& line() { return *line_; }

  private:
    // Runs a call as a job and waits for it; its exception comes back here.
    void run(const std::function<void()>& call);
    void serve();
    void watchLine();
    void tellLost(const Sorvik3::Error& error);

    static constexpr std::chrono::milliseconds kWatchInterval{5};

    std::unique_ptr<Link> line_;
    std::string name_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::function<void()>> jobs_;
    bool quit_ = false;
    std::mutex lostMutex_;
    std::function<void(const Sorvik3::Error&)> lost_;
    bool lossTold_ = false;  // used on the line's thread only
    std::unique_ptr<QThread> thread_;
};

}  // namespace TavrinKwp
