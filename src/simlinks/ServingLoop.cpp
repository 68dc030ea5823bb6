#include "ServingLoop.h"

#include <chrono>
#include <exception>
#include <thread>

namespace TavrinKwp {

void serveUntilStopped(const std::atomic<bool>& stop, const std::function<void()>& pollOnce,
                       const std::function<void(const std::string&)>& say, const std::atomic<bool>* pulledOut)
{
    std::string lastFailure;
    while (!stop && !(pulledOut && *pulledOut)) {
        try {
            pollOnce();
        } catch (const std::exception& error) {
            if (lastFailure != error.what()) say(std::string("serving failed: ") + error.what());
            lastFailure = error.what();
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }
}

}  // namespace TavrinKwp
