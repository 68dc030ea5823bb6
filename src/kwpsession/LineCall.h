// A call of the session library begun without waiting: its work runs after
// the calls already on the line, on the line's thread where there is one; the
// caller is told when it is over and completes it on its own thread.
#pragma once

#include "Sorvik3.h"

#include <functional>
#include <memory>

namespace TavrinKwp {

class VehicleRuntime;

// Runs work on the runtime's line, then tells done. Finish first runs onFinish
// on the caller's thread (a request takes its frames there, failed or not),
// then throws what work threw.
Sorvik3::PendingCallRef beginLineCall(VehicleRuntime& runtime, std::function<void()> work, std::function<void()> done,
                                      std::function<void()> onFinish = {});

}  // namespace TavrinKwp
