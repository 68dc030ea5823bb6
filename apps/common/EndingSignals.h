// Ctrl+C, SIGTERM and SIGHUP (a closed terminal, a dropped remote session) for
// the programs: the handler only notes the signal and wakes the event loop
// through a pipe, where the program stops what it drives before it ends.
#pragma once

#include <functional>

class QObject;

namespace TavrinApps {

// Installs the handlers; `then` runs on the event loop of `context`'s thread.
void onEndingSignal(QObject* context, std::function<void(int signal)> then);

// The ending signal caught so far, 0 if none: for loops that run without an event loop.
int endingSignal();

}  // namespace TavrinApps
