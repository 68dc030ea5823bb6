// The emulated adapter's data side: a request in hex goes to the ECU its
// header names, framed as the protocol wants, and the answers come back as
// the adapter prints them.
#include "ElmEmulator.h"

#include "Kwp2000Codes.h"
#include "Kwp2000Frame.h"

#include <cstdio>
#include <thread>
#include <utility>

namespace TavrinKwp {
namespace {

std::string idText(uint32_t id, bool extended)
{
    char text[12];
    std::snprintf(text, sizeof text, extended ? "%08X" : "%03X", id);
    return text;
}

// Replies for which the ECU never got the request; for the others it acted and its answer was lost or spoilt.
bool requestNeverLeft(const std::string& reply)
{
    return reply == "CAN ERROR" || reply == "BUS ERROR" || reply == "UNABLE TO CONNECT" ||
           reply.rfind("BUS INIT", 0) == 0 || reply == "LV RESET" || reply == "silent";
}

}  // namespace

bool ElmEmulator::onCan() const
{
    const std::string& p = settings_.protocol;
    return p == "0" || p == "6" || p == "7" || p == "8" || p == "9" || p == "A" || p == "B" || p == "C";
}

bool ElmEmulator::extendedIds() const
{
    return settings_.header.size() >= 6;
}

std::optional<size_t> ElmEmulator::canEcu() const
{
    if (settings_.header.empty()) return std::nullopt;
    uint32_t id = static_cast<uint32_t>(std::stoul(settings_.header, nullptr, 16));
    if (settings_.header.size() == 6) id |= static_cast<uint32_t>(settings_.priority) << 24;
    const auto& ecus = simulator_.model().ecus;
    for (size_t i = 0; i < ecus.size(); ++i) {
        if (ecus[i].can && ecus[i].can->requestId == id && ecus[i].can->extendedIds == extendedIds()) return i;
    }
    return std::nullopt;
}

std::string ElmEmulator::bytesText(const Bytes& bytes) const
{
    return settings_.spaces ? hexText(bytes) : [&] {
        std::string text = hexText(bytes);
        text.erase(std::remove(text.begin(), text.end(), ' '), text.end());
        return text;
    }();
}

std::string ElmEmulator::frameLine(uint32_t id, const Bytes& data) const
{
    if (!settings_.headers) return bytesText(data);
    return idText(id, extendedIds()) + (settings_.spaces ? " " : "") + bytesText(data);
}

std::vector<Bytes> ElmEmulator::canFrames(size_t ecu, const Bytes& message) const
{
    const auto& can = *simulator_.model().ecus[ecu].can;
    auto padded = [&](Bytes frame) {
        if (can.padding) frame.resize(8, *can.padding);
        return frame;
    };
    if (message.size() <= 7) {
        Bytes single{static_cast<uint8_t>(message.size())};
        single.insert(single.end(), message.begin(), message.end());
        return {padded(single)};
    }
    std::vector<Bytes> frames;
    Bytes first{static_cast<uint8_t>(0x10 | (message.size() >> 8 & 0x0F)), static_cast<uint8_t>(message.size() & 0xFF)};
    first.insert(first.end(), message.begin(), message.begin() + 6);
    frames.push_back(first);
    uint8_t sequence = 1;
    for (size_t at = 6; at < message.size(); at += 7) {
        Bytes next{static_cast<uint8_t>(0x20 | sequence)};
        next.insert(next.end(), message.begin() + static_cast<long>(at),
                    message.begin() + static_cast<long>(std::min(at + 7, message.size())));
        frames.push_back(padded(next));
        sequence = static_cast<uint8_t>((sequence + 1) & 0x0F);
    }
    return frames;
}

void ElmEmulator::noData()
{
    std::this_thread::sleep_for(std::chrono::milliseconds(settings_.timeoutMs));
    reply({"NO DATA"});
}

void ElmEmulator::data(const Bytes& bytes)
{
    const bool kline = settings_.protocol == "4" || settings_.protocol == "5";
    if (!kline && !onCan()) {
        reply({"?"});
        return;
    }
    fault_ = faultReply();
    if (fault_ && requestNeverLeft(*fault_)) {
        const std::string text = *std::exchange(fault_, std::nullopt);
        say("elm fault: " + text);
        if (text == "silent") return;  // no reply, no prompt: an adapter that is gone
        if (text == "LV RESET") settings_ = Settings{};
        reply({text});
        return;
    }
    if (kline)
        klineData(bytes);
    else
        canData(bytes);
    fault_.reset();
}

void ElmEmulator::canData(const Bytes& bytes)
{
    if (bytes.size() > (settings_.formatting ? 7u : 8u)) {
        reply({"?"});
        return;
    }
    const auto ecu = canEcu();
    if (!ecu) {
        noData();
    } else if (settings_.formatting) {
        answer(*ecu, bytes);
    } else {
        rawCanFrame(*ecu, bytes);
    }
}

void ElmEmulator::rawCanFrame(size_t ecu, const Bytes& frame)
{
    const auto& can = *simulator_.model().ecus[ecu].can;
    const uint8_t kind = frame.empty() ? 0xF : frame[0] >> 4;
    auto flowControl = [&] {
        Bytes fc{0x30, can.blockSize, can.stMin};
        if (can.padding) fc.resize(8, *can.padding);
        reply({frameLine(can.responseId, fc)});
    };
    if (kind == 0 && (frame[0] & 0x0F) > 0 && (frame[0] & 0x0F) < frame.size()) {
        answer(ecu, Bytes(frame.begin() + 1, frame.begin() + 1 + (frame[0] & 0x0F)));
    } else if (kind == 1 && frame.size() == 8) {
        raw_ = RawTransfer{};
        raw_.ecu = ecu;
        raw_.received.assign(frame.begin() + 2, frame.end());
        raw_.expected = (static_cast<size_t>(frame[0] & 0x0F) << 8) | frame[1];
        flowControl();
    } else if (kind == 2 && raw_.ecu == ecu && raw_.expected > 0) {
        raw_.received.insert(raw_.received.end(), frame.begin() + 1, frame.end());
        if (raw_.received.size() >= raw_.expected) {
            Bytes message(raw_.received.begin(), raw_.received.begin() + static_cast<long>(raw_.expected));
            raw_ = RawTransfer{};
            answer(ecu, message);
        } else if (can.blockSize > 0 && ++raw_.sinceFlowControl == can.blockSize) {
            raw_.sinceFlowControl = 0;
            flowControl();
        } else {
            noData();
        }
    } else if (kind == 3 && !raw_.framesToSend.empty()) {
        const size_t block = frame.size() > 1 && frame[1] > 0 ? frame[1] : raw_.framesToSend.size();
        std::vector<std::string> lines;
        while (!raw_.framesToSend.empty() && lines.size() < block) {
            lines.push_back(frameLine(can.responseId, raw_.framesToSend.front()));
            raw_.framesToSend.erase(raw_.framesToSend.begin());
        }
        reply(lines);
    } else {
        noData();
    }
}

void ElmEmulator::fastInit()
{
    if ((settings_.protocol != "4" && settings_.protocol != "5") || settings_.header.size() != 6) {
        reply({"?"});
        return;
    }
    if (auto text = faultReply(); text && text->rfind("BUS INIT", 0) == 0) {
        reply({*text});
        return;
    }
    const Bytes header = *parseHex(settings_.header);
    const auto ecu = simulator_.ecuAt(header[1]);
    bool started = false;
    if (ecu) {
        simulator_.serve(*ecu, {kStartCommunication}, [&](const Bytes& answer) {
            started = started || (!answer.empty() && answer[0] == kStartCommunication + kPositiveOffset);
        });
    }
    if (started) klineEcu_ = ecu;
    reply({started ? "BUS INIT: ...OK" : "BUS INIT: ...ERROR"});
}

void ElmEmulator::klineData(const Bytes& bytes)
{
    if (settings_.header.size() != 6 || bytes.empty() || bytes.size() > kMaxFrameData) {
        reply({"?"});
        return;
    }
    const Bytes header = *parseHex(settings_.header);
    const auto ecu = simulator_.ecuAt(header[1]);
    if (!ecu) {
        noData();
        return;
    }
    answer(*ecu, bytes);
}

}  // namespace TavrinKwp
