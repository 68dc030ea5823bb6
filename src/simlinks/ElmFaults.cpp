#include "ElmFaults.h"

#include <algorithm>
#include <charconv>

namespace TavrinKwp {
namespace {

// -1 for always; 0 when the word is no count.
int countOf(const std::string& word)
{
    if (word == "always") return -1;
    int count = 0;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), count);
    return error == std::errc() && end == word.data() + word.size() && count > 0 ? count : 0;
}

}  // namespace

std::string armElmFault(std::vector<std::string> words, ElmFaults& faults)
{
    static const std::vector<std::string> replies = {
        "NO DATA", "BUFFER FULL",       "DATA ERROR", "<RX ERROR",          "CAN ERROR", "BUS ERROR",
        "STOPPED", "UNABLE TO CONNECT", "LV RESET",   "BUS INIT: ...ERROR", "silent"};
    std::lock_guard lock(faults.mutex);
    if (words.size() == 2 && words[0] == "refuses") {
        faults.refused.insert(words[1]);
        return {};
    }
    if (words.size() == 2 && words[0] == "ignores") {
        faults.ignored.insert(words[1]);
        return {};
    }
    int times = 1;
    if (words.size() > 1 && countOf(words.back()) != 0) {
        times = countOf(words.back());
        words.pop_back();
    }
    std::string reply;
    for (const auto& word : words)
        reply += (reply.empty() ? "" : " ") + word;
    if (std::find(replies.begin(), replies.end(), reply) == replies.end()) {
        std::string known;
        for (const auto& r : replies)
            known += (known.empty() ? "" : ", ") + r;
        return "REPLY [N|always] with a REPLY of " + known + ", refuses COMMAND or ignores COMMAND";
    }
    faults.replies[reply] = times;
    return {};
}

}  // namespace TavrinKwp
