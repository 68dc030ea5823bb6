// Time as the session library and the simulated vehicle see it: a 32-bit
// millisecond clock and a way to let time pass while an exchange is on the
// line. Tests and the scenario runner replace both so a simulated minute costs nothing.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>

namespace TavrinKwp {

struct SessionClock {
    std::function<uint32_t()> now;
    std::function<void(uint32_t)> sleep;

    static SessionClock system();
};

// A clock that moves only when told to, or when the library waits on the line.
// Atomic: a simulated ECU behind a port answers from its own thread.
class ManualClock {
  public:
    explicit ManualClock(uint32_t start = 0) : now_(start) {}
    ManualClock(const ManualClock& other) : now_(other.now()) {}
    ManualClock& operator=(const ManualClock& other)
    {
        now_ = other.now();
        return *this;
    }
    uint32_t now() const { return now_.load(); }
    void advance(uint32_t ms) { now_ += ms; }
    SessionClock clock()
    {
        return SessionClock{[this] { return now(); }, [this](uint32_t ms) { advance(ms); }};
    }

  private:
    std::atomic<uint32_t> now_;
};

}  // namespace TavrinKwp
