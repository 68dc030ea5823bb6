// The loop an ECU side runs in a thread of its own until it is told to stop.
#pragma once

#include <atomic>
#include <functional>
#include <string>

namespace TavrinKwp {

// Nothing may escape the thread: a failure is said once (until another one
// comes) and a failing port is not spun on.
// It also ends when the line is pulled out (pulledOut).
void serveUntilStopped(const std::atomic<bool>& stop, const std::function<void()>& pollOnce,
                       const std::function<void(const std::string&)>& say,
                       const std::atomic<bool>* pulledOut = nullptr);

}  // namespace TavrinKwp
