// A request longer than one CAN frame through a plain ELM327, which sends
// single frames only: with its ISO-TP formatting off, the link sends the first
// frame, reads the ECU's flow control, sends the consecutive frames at the
// ECU's pace and, for a long answer, sends the flow control itself.
#include "ElmLink.h"

#include "ElmReplies.h"
#include "ErrorNumbers.h"
#include "Sorvik3.h"

#include <cstdio>
#include <thread>

namespace TavrinKwp {
namespace {

// While consecutive frames go out no answer is due: the adapter's wait is cut to this.
constexpr uint32_t kBetweenFramesMs = 8;

struct FlowControl {
    uint8_t blockSize = 0;
    uint8_t stMin = 0;
};

// The ECU's flow control among the adapter's lines; a WAIT or an overflow is an error, none a timeout.
FlowControl flowControlIn(const EcuDescription& ecu, const std::vector<std::string>& lines, size_t requestSize)
{
    const CanSettings& can = *ecu.can;
    for (const auto& line : lines) {
        const auto frame = canFrameLine(line, can.extendedIds);
        if (!frame || frame->id != can.responseId || frame->data.size() < 3 || frame->data[0] >> 4 != 3) continue;
        if (frame->data[0] == 0x30) return FlowControl{frame->data[1], frame->data[2]};
        throw sessionError(SessionError::TransportError,
                           "ECU '" + ecu.name + "' " +
                               (frame->data[0] == 0x32 ? std::string("has no room for the request (overflow)")
                                                       : "asks the adapter to wait, which it cannot follow") +
                               ": " + hexText(frame->data));
    }
    throw sessionError(SessionError::TransportTimeout, "ECU '" + ecu.name + "' sent no flow control for a request of " +
                                                           std::to_string(requestSize) + " bytes");
}

std::chrono::microseconds separation(uint8_t stMin)
{
    if (stMin <= 0x7F) return std::chrono::milliseconds(stMin);
    if (stMin >= 0xF1 && stMin <= 0xF9) return std::chrono::microseconds((stMin - 0xF0) * 100);
    return std::chrono::milliseconds(0x7F);
}

}  // namespace

std::string ElmLink::timeoutCommand(uint32_t ms)
{
    char text[8];
    std::snprintf(text, sizeof text, "ATST%02X", std::clamp<uint32_t>((ms + 3) / 4, 1, 255));
    return text;
}

std::vector<std::string> ElmLink::sendFramesByHand(const EcuDescription& ecu, const Bytes& request)
{
    const CanSettings& can = *ecu.can;
    const uint32_t quiet = answerTimeout(ecu) + kAdapterSlackMs;
    auto padded = [&](Bytes frame) {
        if (can.padding) frame.resize(8, *can.padding);
        return frame;
    };
    set("ATCAF0");
    std::vector<std::string> answer;
    try {
        const size_t length = request.size();
        Bytes first{static_cast<uint8_t>(0x10 | (length >> 8 & 0x0F)), static_cast<uint8_t>(length & 0xFF)};
        first.insert(first.end(), request.begin(), request.begin() + 6);
        FlowControl flow = flowControlIn(ecu, command(compactHex(padded(first)), quiet), length);
        set(timeoutCommand(kBetweenFramesMs));
        size_t at = 6;
        uint8_t sequence = 1;
        int inBlock = 0;
        while (at < length) {
            const size_t take = std::min<size_t>(7, length - at);
            Bytes next{static_cast<uint8_t>(0x20 | sequence)};
            next.insert(next.end(), request.begin() + static_cast<long>(at),
                        request.begin() + static_cast<long>(at + take));
            at += take;
            sequence = static_cast<uint8_t>((sequence + 1) & 0x0F);
            const bool last = at >= length;
            const bool flowDue = !last && flow.blockSize > 0 && ++inBlock == flow.blockSize;
            if (last || flowDue) set(timeoutCommand(answerTimeout(ecu)));
            std::this_thread::sleep_for(separation(flow.stMin));
            auto reply = command(compactHex(padded(next)), quiet);
            if (flowDue) {
                flow = flowControlIn(ecu, reply, length);
                inBlock = 0;
                set(timeoutCommand(kBetweenFramesMs));
            }
            if (last) answer = std::move(reply);
        }
        // A long answer: with formatting off the flow control is the link's to send.
        for (int round = 0; round < 64 && answerIncomplete(ecu, answer); ++round) {
            const auto more = command(compactHex(padded({0x30, can.blockSize, can.stMin})), quiet);
            answer.insert(answer.end(), more.begin(), more.end());
        }
    } catch (...) {
        restoreFormatting(ecu);
        throw;
    }
    restoreFormatting(ecu);
    return answer;
}

void ElmLink::restoreFormatting(const EcuDescription& ecu)
{
    if (!port_) return;
    set("ATCAF1", false);
    set(timeoutCommand(answerTimeout(ecu)), false);
}

bool ElmLink::answerIncomplete(const EcuDescription& ecu, const std::vector<std::string>& lines) const
{
    size_t expected = 0;
    size_t got = 0;
    for (const auto& line : lines) {
        const auto frame = canFrameLine(line, ecu.can->extendedIds);
        if (!frame || frame->id != ecu.can->responseId || frame->data.empty()) continue;
        const uint8_t kind = frame->data[0] >> 4;
        if (kind == 1 && frame->data.size() >= 2) {
            expected = (static_cast<size_t>(frame->data[0] & 0x0F) << 8) | frame->data[1];
            got = frame->data.size() - 2;
        } else if (kind == 2 && expected > 0) {
            got += frame->data.size() - 1;
        }
    }
    return expected > 0 && got < expected;
}

}  // namespace TavrinKwp
