#include "EndingSignals.h"

#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace TavrinApps {

namespace {

int signalPipe[2] = {-1, -1};
volatile std::sig_atomic_t caught = 0;

void onSignal(int signal)
{
    caught = signal;
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(signalPipe[1], &byte, 1);
}

}  // namespace

void onEndingSignal(QObject* context, std::function<void(int signal)> then)
{
    if (signalPipe[0] < 0 && ::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) signalPipe[0] = signalPipe[1] = -1;
    if (signalPipe[0] >= 0) {
        auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, context);
        QObject::connect(notifier, &QSocketNotifier::activated, context, [then = std::move(then)] {
            char byte = 0;
            while (::read(signalPipe[0], &byte, 1) > 0) {
            }
            then(caught);
        });
    }
    // Without a pipe the signal is still noted, for loops that ask endingSignal().
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
    std::signal(SIGHUP, onSignal);
}

int endingSignal()
{
    return caught;
}

}  // namespace TavrinApps
