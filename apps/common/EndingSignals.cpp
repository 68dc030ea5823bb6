#include "EndingSignals.h"

#include <QSocketNotifier>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <mutex>
#include <thread>
#include <unistd.h>

namespace TavrinApps {

namespace {

int signalPipe[2] = {-1, -1};
volatile std::sig_atomic_t caught = 0;
std::atomic<bool> ending{false};  // the watchdog runs: a second signal ends at once

// What the watchdog says: never destroyed, as the watchdog may still run while the program's statics go.
struct LastWords {
    std::mutex mutex;
    std::string stillDriven;
    std::string program = "program";
};
LastWords& lastWords()
{
    static auto* words = new LastWords;
    return *words;
}

[[noreturn]] void endNow(int signal, const char* why)
{
    std::string words;
    {
        LastWords& last = lastWords();
        std::lock_guard lock(last.mutex);
        words = last.program + ": " + why + ": ending now" +
                (last.stillDriven.empty() ? std::string() : "; may still be driven: " + last.stillDriven) + "\n";
    }
    [[maybe_unused]] const auto written = ::write(STDERR_FILENO, words.data(), words.size());
    std::_Exit(128 + signal);
}

void onSignal(int signal)
{
    if (ending) {
        // Only async-signal-safe calls here: the second signal's words are fixed.
        static const char words[] = "ending at once on a second signal\n";
        [[maybe_unused]] const auto written = ::write(STDERR_FILENO, words, sizeof words - 1);
        std::_Exit(128 + signal);
    }
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

void endWithin(int ms, int signal, const char* program)
{
    {
        LastWords& last = lastWords();
        std::lock_guard lock(last.mutex);
        last.program = program;
    }
    if (ending.exchange(true)) return;
    std::thread([ms, signal] {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        endNow(signal, ("the stop did not end within " + std::to_string(ms) + " ms").c_str());
    }).detach();
}

void noteStillDriven(const std::string& devices)
{
    LastWords& last = lastWords();
    std::lock_guard lock(last.mutex);
    last.stillDriven = devices;
}

}  // namespace TavrinApps
