// A CAN interface through Qt Serial Bus, for code that waits: the device lives
// in the process's CAN thread with its event loop, frames that arrive are queued
// there, and a caller blocks (never longer than it asks) on the queue. No
// event loop is ever spun in the caller's thread, so a GUI cannot re-enter.
// The CAN thread lives as long as the program: the virtual bus's hub lives in
// the thread of the first device opened and must outlive every later one. It
// ends when the Qt application is destroyed, or at exit.
#pragma once

#include "IsoTp.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

class QCanBusDevice;
class QObject;

namespace TavrinKwp {

class CanBusPort {
  public:
    using Clock = std::chrono::steady_clock;

    // Opens PLUGIN:INTERFACE (e.g. "virtualcan", "can0") with options such as
    // bitrate. Throws Sorvik3::Error(SessionError::LinkUnavailable) naming them and the reason.
    CanBusPort(const std::string& plugin, const std::string& interface,
               const std::map<std::string, std::string>& options);
    ~CanBusPort();
    CanBusPort(const CanBusPort&) = delete;
    CanBusPort& operator=(const CanBusPort&) = delete;

    // Queues a frame for the bus; throws LinkUnavailable when the device has failed.
    void write(const CanFrame& frame);
    // Whether every frame queued has left for the bus by then (ISO-TP's N_As).
    bool waitWritten(Clock::time_point until);
    // The next frame, waiting until then at most; empty when none came.
    std::optional<CanFrame> read(Clock::time_point until);
    // Drops what has arrived and not been read.
    void clear();
    std::string name() const { return plugin_ + ":" + interface_; }

    // Frames dropped because nobody read them in time (the queue is bounded).
    size_t dropped() const;

  private:
    void watchDevice();
    void received(std::deque<CanFrame> frames);
    void failed(const std::string& reason);

    std::string plugin_;
    std::string interface_;
    QObject* context_ = nullptr;       // lives in the thread
    QCanBusDevice* device_ = nullptr;  // lives in the thread
    mutable std::mutex mutex_;
    std::condition_variable arrived_;
    std::deque<CanFrame> queue_;
    size_t dropped_ = 0;
    std::string failure_;
    bool connected_ = false;
    size_t unwritten_ = 0;
};

}  // namespace TavrinKwp
