#include "ElmReplies.h"

#include "Kwp2000Frame.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace TavrinKwp {
namespace {

std::string trimmed(const std::string& text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::string withoutBlanks(const std::string& text)
{
    std::string out;
    std::copy_if(text.begin(), text.end(), std::back_inserter(out), [](char c) { return c != ' '; });
    return out;
}

bool startsWith(const std::string& text, const std::string& start)
{
    return text.compare(0, start.size(), start) == 0;
}

}  // namespace

std::string hexDigits(uint32_t value, int digits)
{
    char text[16];
    std::snprintf(text, sizeof text, "%0*X", digits, value);
    return text;
}

std::string compactHex(const Bytes& bytes)
{
    std::string text;
    for (uint8_t b : bytes)
        text += hexDigits(b, 2);
    return text;
}

std::vector<std::string> replyLines(const std::string& text, const std::string& command)
{
    std::vector<std::string> lines;
    std::string line;
    auto take = [&] {
        const std::string clean = trimmed(line);
        line.clear();
        if (clean.empty() || clean == "SEARCHING...") return;
        // The echo, while echo is still on (after a reset), with or without blanks.
        if (lines.empty() && withoutBlanks(clean) == withoutBlanks(command)) return;
        lines.push_back(clean);
    };
    for (char c : text) {
        if (c == '\r' || c == '\n' || c == '>') {
            take();
        } else {
            line.push_back(c);
        }
    }
    take();
    return lines;
}

std::optional<AdapterProblem> adapterProblem(const std::string& line)
{
    struct Known {
        const char* start;
        SessionError error;
        const char* words;
    };
    static const Known known[] = {
        {"NO DATA", SessionError::NoAnswer, "the adapter heard no answer (NO DATA)"},
        {"UNABLE TO CONNECT", SessionError::NoAnswer,
         "the adapter found no vehicle on that protocol (UNABLE TO CONNECT): check the ignition and the ECU's "
         "protocol"},
        {"BUS INIT", SessionError::NoAnswer,
         "the ECU did not answer the fast initialisation (BUS INIT: ERROR): check the ignition, the K-line wiring "
         "and the ECU's address"},
        {"CAN ERROR", SessionError::LinkUnavailable,
         "the adapter cannot send or receive on the CAN bus (CAN ERROR): check the bit rate, the wiring and the "
         "ignition"},
        {"BUS ERROR", SessionError::LinkUnavailable,
         "the adapter sees a fault on the bus (BUS ERROR): check the wiring for a short or an open line"},
        {"FB ERROR", SessionError::LinkUnavailable,
         "the adapter's output does not reach the bus (FB ERROR): check the wiring"},
        {"LV RESET", SessionError::LinkUnavailable,
         "the adapter reset itself for low voltage (LV RESET): check the vehicle's battery and the connector"},
        {"ACT ALERT", SessionError::LinkUnavailable,
         "the adapter went to sleep for lack of activity (ACT ALERT): connect again"},
        {"BUFFER FULL", SessionError::BadFrame,
         "the adapter's buffer overflowed (BUFFER FULL): a faster serial rate helps, the answer is lost"},
        {"DATA ERROR", SessionError::BadFrame, "the adapter received a damaged answer (DATA ERROR)"},
        {"<DATA ERROR", SessionError::BadFrame, "the adapter received an answer with a wrong checksum (<DATA ERROR)"},
        {"STOPPED", SessionError::TransportError,
         "the adapter stopped waiting for the answer because a character reached it (STOPPED)"},
        {"?", SessionError::TransportError, "the adapter refuses the command (?)"},
    };
    for (const auto& entry : known) {
        if (startsWith(line, entry.start) &&
            (std::string(entry.start) != "BUS INIT" || line.find("ERROR") != std::string::npos))
            return AdapterProblem{entry.error, entry.words};
    }
    if (line.find("<RX ERROR") != std::string::npos)
        return AdapterProblem{SessionError::BadFrame, "the adapter received a damaged CAN frame (<RX ERROR)"};
    if (startsWith(line, "ERR") && line.size() == 5)
        return AdapterProblem{SessionError::LinkUnavailable, "the adapter reports an internal error (" + line + ")"};
    return std::nullopt;
}

std::optional<ElmCanFrame> canFrameLine(const std::string& line, bool extendedIds)
{
    const std::string digits = withoutBlanks(line);
    const size_t idDigits = extendedIds ? 8 : 3;
    if (digits.size() <= idDigits) return std::nullopt;
    for (char c : digits) {
        if (!std::isxdigit(static_cast<unsigned char>(c))) return std::nullopt;
    }
    const auto data = parseHex(digits.substr(idDigits));
    if (!data || data->empty() || data->size() > 8) return std::nullopt;
    return ElmCanFrame{static_cast<uint32_t>(std::stoul(digits.substr(0, idDigits), nullptr, 16)), *data};
}

std::vector<Bytes> canMessages(const std::vector<ElmCanFrame>& frames, uint32_t responseId)
{
    std::vector<Bytes> messages;
    Bytes building;
    size_t expected = 0;
    uint8_t next = 1;
    for (const auto& frame : frames) {
        if (frame.id != responseId || frame.data.empty()) continue;
        const uint8_t kind = frame.data[0] >> 4;
        if (kind == 0) {
            const size_t length = frame.data[0] & 0x0F;
            if (length == 0 || length + 1 > frame.data.size())
                throw sessionError(SessionError::BadFrame,
                                   "a single frame whose length is wrong: " + hexText(frame.data));
            messages.emplace_back(frame.data.begin() + 1, frame.data.begin() + 1 + static_cast<long>(length));
        } else if (kind == 1 && frame.data.size() >= 2) {
            expected = (static_cast<size_t>(frame.data[0] & 0x0F) << 8) | frame.data[1];
            building.assign(frame.data.begin() + 2, frame.data.end());
            next = 1;
        } else if (kind == 2 && expected > 0) {
            if ((frame.data[0] & 0x0F) != next)
                throw sessionError(SessionError::BadFrame,
                                   "a consecutive frame out of sequence: " + hexText(frame.data));
            next = static_cast<uint8_t>((next + 1) & 0x0F);
            building.insert(building.end(), frame.data.begin() + 1, frame.data.end());
        }
        if (expected > 0 && building.size() >= expected) {
            building.resize(expected);
            messages.push_back(building);
            building.clear();
            expected = 0;
        }
    }
    if (expected > 0)
        throw sessionError(SessionError::BadFrame, "a message cut short: " + std::to_string(building.size()) + " of " +
                                                       std::to_string(expected) + " bytes came");
    return messages;
}

std::vector<Bytes> klineMessages(const std::vector<std::string>& lines, uint8_t ecuAddress, uint8_t testerAddress)
{
    std::vector<Bytes> messages;
    for (const auto& line : lines) {
        const auto bytes = parseHex(line);
        if (!bytes || bytes->empty()) continue;
        const auto frame = decodeFrame(*bytes);
        if (!frame) throw sessionError(SessionError::BadFrame, "a frame with a wrong checksum or length: " + line);
        if (frame->addressed && (frame->source != ecuAddress || frame->target != testerAddress)) continue;
        messages.push_back(frame->data);
    }
    return messages;
}

}  // namespace TavrinKwp
