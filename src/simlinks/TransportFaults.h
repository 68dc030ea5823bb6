// Faults of the line itself that the ECU side of a K-line or a CAN bus makes
// on purpose, so that a tester's footing can be tried without a car: each
// count says how many times the fault happens from now on.
#pragma once

#include <atomic>
#include <map>
#include <mutex>
#include <set>
#include <string>

namespace TavrinKwp {

// An emulated ELM327 adapter's own faults: a reply of its own in place of the
// answer ("NO DATA", "CAN ERROR", "BUFFER FULL", ... or "silent": no reply and
// no prompt, as an unplugged adapter), commands a clone refuses with "?", and
// commands a clone does not answer at all (no reply, no prompt; it still
// answers the next command).
struct ElmFaults {
    std::mutex mutex;
    std::map<std::string, int> replies;  // reply text: how many times
    std::set<std::string> refused;       // command prefixes, e.g. "ATFCSM" or "STI"
    std::set<std::string> ignored;       // command prefixes, e.g. "STPX"
};

struct TransportFaults {
    // Both lines.
    std::atomic<int> late{0};  // the answer comes lateByMs past P2max
    std::atomic<int> lateByMs{5};
    // K-line and ELM327: the far end is closed for good, as an interface pulled out.
    std::atomic<bool> unplugged{false};
    std::atomic<int> corrupt{0};  // K-line: the checksum is wrong; CAN: a single frame whose length lies
    std::atomic<int> garbage{0};  // K-line: noise bytes before the answer; CAN: a frame of no known type
    // K-line.
    std::atomic<int> strayZero{0};  // a 0x00 before the next echo, as a wake-up pattern's echo comes
    // CAN.
    std::atomic<int> lostConsecutive{0};  // the first consecutive frame of an answer is not sent
    std::atomic<int> lateFlowControl{0};  // the flow control to a request comes after N_Bs
    std::atomic<int> overflow{0};         // a long request is refused with a flow-control overflow
    std::atomic<int> flowControlWait{0};  // one flow-control WAIT, the go-ahead waitMs later
    std::atomic<int> waitMs{100};
    std::atomic<int> strayConsecutive{0};  // a consecutive frame out of turn before the answer
    // ELM327 adapter.
    ElmFaults elm;
};

// Takes one occurrence of a fault; false when none is left.
inline bool takeOne(std::atomic<int>& count)
{
    int left = count.load();
    while (left > 0) {
        if (count.compare_exchange_weak(left, left - 1)) return true;
    }
    return false;
}

}  // namespace TavrinKwp
