// A link whose work (bytes, timing, echo, answers) runs on a thread of its own,
// so the thread that asks never sleeps through the line's timing. The caller
// waits for each call: on the thread of a Qt application that serves events,
// in a local event loop, so a window stays live and clickable (unless the
// program said otherwise: serveEventsWhileWaiting); elsewhere blocked. One call
// at a time: a call made while another waits (from that local event loop) is
// refused with LinkBusy, never nested into the line.
#pragma once

#include "Link.h"

#include <atomic>
#include <condition_variable>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

class QThread;

namespace TavrinKwp {

class OffThreadLink final : public Link {
  public:
    explicit OffThreadLink(std::unique_ptr<Link> line);
    // The line is let go of on its own thread, which then ends.
    ~OffThreadLink() override;

    // Whether a caller on the application's thread serves its events while it
    // waits (the default); a scripted program that wants no event in between says no.
    static void serveEventsWhileWaiting(bool serve);

    std::string name() const override { return name_; }
    void startCommunication(const EcuDescription& ecu, WireRecord& wire) override;
    void stopCommunication(const EcuDescription& ecu) override;
    Bytes frame(const EcuDescription& ecu, const Bytes& request) const override { return line_->frame(ecu, request); }
    Bytes exchange(const EcuDescription& ecu, const std::string& what, const Bytes& request, WireRecord& wire) override;
    Bytes nextAnswer(const EcuDescription& ecu, const std::string& what, uint32_t timeoutMs, WireRecord& wire) override;
    uint32_t answerTimeout(const EcuDescription& ecu) const override { return line_->answerTimeout(ecu); }
    uint32_t pendingTimeout(const EcuDescription& ecu) const override { return line_->pendingTimeout(ecu); }
    void interrupt() override { line_->interrupt(); }
    std::vector<std::string> checkAdapter(const VehicleDescription& vehicle) override;
    // The line itself, for its own calls (tests, fault injection).
    Link& line() { return *line_; }

  private:
    // Runs a call on the line's thread and waits for it; its exception comes back here.
    void run(const EcuDescription& ecu, const std::string& what, std::function<void()> call);
    void serve();
    void await();

    std::unique_ptr<Link> line_;
    std::string name_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::function<void()> job_;     // the call waiting for the line's thread
    std::function<void()> onDone_;  // wakes a local event loop
    bool busy_ = false;             // a call is under way
    bool done_ = false;
    bool quit_ = false;
    std::string busyWith_;
    std::exception_ptr failure_;
    std::unique_ptr<QThread> thread_;
};

}  // namespace TavrinKwp
