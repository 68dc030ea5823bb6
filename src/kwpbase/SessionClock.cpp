#include "SessionClock.h"

#include <chrono>
#include <thread>

namespace TavrinKwp {

SessionClock SessionClock::system()
{
    return SessionClock{[] {
                            using namespace std::chrono;
                            return static_cast<uint32_t>(
                                duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
                        },
                        [](uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }};
}

}  // namespace TavrinKwp
