#include "FaultOption.h"
#include "ElmFaults.h"
#include "FaultInjector.h"

#include <algorithm>
#include <optional>
#include <set>
#include <sstream>
#include <vector>

namespace EcuSim {
namespace {

bool parseCount(const std::vector<std::string>& words, size_t at, int& count)
{
    count = 1;
    if (words.size() <= at) return true;
    if (words[at] == "always") {
        count = TavrinKwp::FaultInjector::kAlways;
        return true;
    }
    try {
        size_t used = 0;
        count = std::stoi(words[at], &used);
        return used == words[at].size() && count > 0;
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace

namespace {

// A fault of the line (late, corrupt, garbled answers, frames out of turn); none when the words name no such fault.
std::optional<std::string> addLineFault(const std::vector<std::string>& words, TavrinKwp::TransportFaults& transport)
{
    const std::pair<const char*, std::atomic<int>*> transportFaults[] = {
        {"lost-frame", &transport.lostConsecutive},
        {"late-flow-control", &transport.lateFlowControl},
        {"overflow", &transport.overflow},
        {"flow-control-wait", &transport.flowControlWait},
        {"stray-frame", &transport.strayConsecutive},
        {"garbage", &transport.garbage},
        {"corrupt", &transport.corrupt},
        {"stray-zero", &transport.strayZero}};
    for (const auto& [name, count] : transportFaults) {
        if (words[0] != name) continue;
        int times = 1;
        if (words.size() > 2 || !parseCount(words, 1, times) || times < 0) return std::string(name) + " [N]";
        *count += times;
        return std::string();
    }
    if (words[0] != "late-answer") return std::nullopt;
    int late = 0;
    int times = 1;
    if (words.size() < 2 || words.size() > 3 || !parseCount(words, 1, late) || late < 1 || late > 60000 ||
        !parseCount(words, 2, times) || times < 0)
        return "late-answer MS [N], MS 1 to 60000";
    transport.lateByMs = late;
    transport.late += times;
    return std::string();
}

// A fault of one ECU: init, wrong-key, negative, noanswer, answer-anyway (the kind already known to be one of them).
std::string addEcuFault(const std::vector<std::string>& words, const TavrinKwp::VehicleDescription& vehicle,
                        TavrinKwp::FaultInjector& faults)
{
    if (words.size() < 2) return "a fault names its kind and its ECU";
    const auto ecu =
        std::find_if(vehicle.ecus.begin(), vehicle.ecus.end(), [&](const auto& e) { return e.name == words[1]; });
    if (ecu == vehicle.ecus.end()) return "no ECU '" + words[1] + "' in the vehicle";
    int count = 1;
    const std::string& kind = words[0];
    if (kind == "init") {
        if (words.size() > 3 || !parseCount(words, 2, count)) return "init ECU [N|always]";
        faults.failInit(words[1], count);
        return {};
    }
    if (kind == "wrong-key") {
        if (!ecu->security) return "ECU '" + words[1] + "' asks for no SecurityAccess";
        if (words.size() > 3 || !parseCount(words, 2, count)) return "wrong-key ECU [N|always]";
        faults.refuseKey(words[1], count);
        return {};
    }
    if (words.size() < 3) return "the fault names a request";
    const bool known =
        std::any_of(ecu->requests.begin(), ecu->requests.end(), [&](const auto& r) { return r.name == words[2]; });
    if (!known) return "ECU '" + words[1] + "' has no request '" + words[2] + "'";
    if (kind == "noanswer") {
        if (words.size() > 4 || !parseCount(words, 3, count)) return "noanswer ECU REQUEST [N|always]";
        faults.dropAnswer(words[1], words[2], count);
        return {};
    }
    if (kind == "answer-anyway") {
        if (words.size() > 4 || !parseCount(words, 3, count)) return "answer-anyway ECU REQUEST [N|always]";
        faults.answerSuppressed(words[1], words[2], count);
        return {};
    }
    int code = 0;
    try {
        code = words.size() > 3 ? std::stoi(words[3], nullptr, 0) : 0;
    } catch (const std::exception&) {
        code = 0;
    }
    if (code < 1 || code > 255 || words.size() > 5 || !parseCount(words, 4, count))
        return "negative ECU REQUEST CODE [N|always], CODE 1 to 255";
    faults.answerNegatively(words[1], words[2], static_cast<uint8_t>(code), count);
    return {};
}

}  // namespace

std::string addFault(const std::string& text, const TavrinKwp::VehicleDescription& vehicle,
                     TavrinKwp::FaultInjector& faults, TavrinKwp::TransportFaults& transport)
{
    std::istringstream in(text);
    std::vector<std::string> words;
    for (std::string word; in >> word;)
        words.push_back(word);
    const std::string kinds =
        "init, negative, noanswer, wrong-key, answer-anyway, late-answer, corrupt, garbage, stray-zero, lost-frame, "
        "late-flow-control, overflow, flow-control-wait, stray-frame or elm";
    if (words.empty()) return "a fault names its kind: " + kinds;
    if (words[0] == "elm") {
        const std::string why = TavrinKwp::armElmFault({words.begin() + 1, words.end()}, transport.elm);
        return why.empty() ? why : "elm " + why;
    }
    if (const auto line = addLineFault(words, transport)) return *line;
    static const std::set<std::string> ecuFaults = {"init", "negative", "noanswer", "wrong-key", "answer-anyway"};
    if (!ecuFaults.count(words[0])) return "unknown fault '" + words[0] + "' (" + kinds + ")";
    return addEcuFault(words, vehicle, faults);
}

}  // namespace EcuSim
