// Ctrl+C, SIGTERM and SIGHUP (a closed terminal, a dropped remote session) for
// the programs: the handler only notes the signal and wakes the event loop
// through a pipe, where the program stops what it drives before it ends.
#pragma once

#include <functional>
#include <string>

class QObject;

namespace TavrinApps {

// Installs the handlers; `then` runs on the event loop of `context`'s thread.
void onEndingSignal(QObject* context, std::function<void(int signal)> then);

// The ending signal caught so far, 0 if none: for loops that run without an event loop.
int endingSignal();

// After an ending signal the program ends within `ms` whatever its stop does
// (a line that never answers, a teardown that waits on it): a watchdog off the
// event loop then says so, with what may still be driven, and ends the process
// with 128+signal. A second ending signal ends it at once, the same way.
void endWithin(int ms, int signal, const char* program);
// What may still be driven, for the watchdog's last words; kept current by the program.
void noteStillDriven(const std::string& devices);

}  // namespace TavrinApps
