#include "IsoTp.h"

#include "ErrorNumbers.h"
#include "Sorvik3.h"

#include <algorithm>

namespace TavrinKwp {
namespace {

constexpr uint8_t kSingle = 0x0;
constexpr uint8_t kFirst = 0x1;
constexpr uint8_t kConsecutive = 0x2;
constexpr uint8_t kFlowControl = 0x3;

constexpr uint8_t kContinue = 0x0;
constexpr uint8_t kWait = 0x1;
constexpr uint8_t kOverflow = 0x2;

constexpr Micros ms(uint32_t value)
{
    return Micros{value} * 1000;
}

}  // namespace

uint32_t stMinMicros(uint8_t raw)
{
    if (raw <= 0x7F) return uint32_t{raw} * 1000;
    if (raw >= 0xF1 && raw <= 0xF9) return uint32_t{raw - 0xF0u} * 100;
    return 127000;
}

IsoTpEndpoint::IsoTpEndpoint(IsoTpSettings settings) : settings_(std::move(settings))
{}

void IsoTpEndpoint::breach(const std::string& what) const
{
    throw sessionError(SessionError::TransportError, "CAN transport with " + settings_.peer + ": " + what);
}

CanFrame IsoTpEndpoint::frame(Bytes data) const
{
    if (settings_.padding) data.resize(8, *settings_.padding);
    return CanFrame{settings_.txId, settings_.extendedIds, std::move(data)};
}

void IsoTpEndpoint::reset()
{
    due_.clear();
    out_.clear();
    awaitingFlowControl_ = false;
    in_.clear();
    expected_ = 0;
    complete_.reset();
}

void IsoTpEndpoint::send(const Bytes& message, Micros now)
{
    if (message.empty() || message.size() > 4095) {
        breach("a message carries 1 to 4095 bytes, not " + std::to_string(message.size()));
    }
    due_.clear();
    out_.clear();
    waits_ = 0;
    if (message.size() <= 7) {
        Bytes data{static_cast<uint8_t>((kSingle << 4) | message.size())};
        data.insert(data.end(), message.begin(), message.end());
        due_.push_back(frame(std::move(data)));
        awaitingFlowControl_ = false;
        return;
    }
    Bytes data{static_cast<uint8_t>((kFirst << 4) | (message.size() >> 8)),
               static_cast<uint8_t>(message.size() & 0xFF)};
    data.insert(data.end(), message.begin(), message.begin() + 6);
    due_.push_back(frame(std::move(data)));
    out_.assign(message.begin() + 6, message.end());
    outSequence_ = 1;
    awaitingFlowControl_ = true;
    flowControlBy_ = now + ms(settings_.nBsMs);
}

void IsoTpEndpoint::sendFlowControl(uint8_t status)
{
    due_.push_back(frame({static_cast<uint8_t>((kFlowControl << 4) | status), settings_.blockSize, settings_.stMin}));
}

// Frames out of turn are taken as ISO 15765-2 says: a single or first frame
// ends a reception under way and starts a new message; a consecutive frame
// that belongs to no reception, a frame of no known type and a single or first
// frame that cannot be one are ignored.
void IsoTpEndpoint::receive(const CanFrame& received, Micros now)
{
    if (received.id != settings_.rxId || received.extended != settings_.extendedIds) return;
    const Bytes& data = received.data;
    if (data.empty()) return ignore(data);
    switch (data[0] >> 4) {
    case kSingle: onSingleFrame(data); break;
    case kFirst: onFirstFrame(data, now); break;
    case kConsecutive: onConsecutiveFrame(data, now); break;
    case kFlowControl: onFlowControl(data, now); break;
    default: ignore(data);
    }
}

void IsoTpEndpoint::ignore(const Bytes& data)
{
    ++ignored_;
    lastIgnored_ = data;
}

void IsoTpEndpoint::onSingleFrame(const Bytes& data)
{
    const size_t length = data[0] & 0x0F;
    if (length == 0 || length > 7 || length + 1 > data.size()) return ignore(data);
    expected_ = 0;
    in_.clear();
    complete_ = Bytes(data.begin() + 1, data.begin() + 1 + static_cast<long>(length));
}

void IsoTpEndpoint::onFirstFrame(const Bytes& data, Micros now)
{
    if (data.size() < 8) return ignore(data);
    const size_t length = (size_t{data[0] & 0x0Fu} << 8) | data[1];
    if (length <= 7) return ignore(data);
    expected_ = 0;
    in_.clear();
    if (length > settings_.maxLength) {
        sendFlowControl(kOverflow);
        breach("a message of " + std::to_string(length) + " bytes, longer than the " +
               std::to_string(settings_.maxLength) + " taken");
    }
    expected_ = length;
    in_.assign(data.begin() + 2, data.end());
    inSequence_ = 1;
    blockReceived_ = 0;
    consecutiveBy_ = now + ms(settings_.nCrMs);
    sendFlowControl(kContinue);
}

void IsoTpEndpoint::onConsecutiveFrame(const Bytes& data, Micros now)
{
    if (expected_ == 0) return ignore(data);
    const uint8_t sequence = data[0] & 0x0F;
    if (sequence != inSequence_) {
        expected_ = 0;
        breach("consecutive frame " + std::to_string(sequence) + " where " + std::to_string(inSequence_) + " was due");
    }
    inSequence_ = (inSequence_ + 1) & 0x0F;
    const size_t take = std::min(expected_ - in_.size(), data.size() - 1);
    if (take < std::min<size_t>(7, expected_ - in_.size())) {
        expected_ = 0;
        breach("a consecutive frame shorter than the message still needs: " + hexText(data));
    }
    in_.insert(in_.end(), data.begin() + 1, data.begin() + 1 + static_cast<long>(take));
    if (in_.size() == expected_) {
        complete_ = std::move(in_);
        in_.clear();
        expected_ = 0;
        return;
    }
    consecutiveBy_ = now + ms(settings_.nCrMs);
    if (settings_.blockSize > 0 && ++blockReceived_ == settings_.blockSize) {
        blockReceived_ = 0;
        sendFlowControl(kContinue);
    }
}

void IsoTpEndpoint::onFlowControl(const Bytes& data, Micros now)
{
    if (!awaitingFlowControl_) return;  // a late or stray flow control changes nothing
    if (data.size() < 3) breach("a flow control shorter than three bytes: " + hexText(data));
    switch (data[0] & 0x0F) {
    case kContinue:
        awaitingFlowControl_ = false;
        waits_ = 0;
        blockLeft_ = data[1];
        spacingMicros_ = stMinMicros(data[2]);
        nextConsecutive_ = now;
        break;
    case kWait:
        if (++waits_ > settings_.maxWaits) {
            awaitingFlowControl_ = false;
            out_.clear();
            breach("more than " + std::to_string(settings_.maxWaits) + " flow-control waits");
        }
        flowControlBy_ = now + ms(settings_.nBsMs);
        break;
    case kOverflow:
        awaitingFlowControl_ = false;
        out_.clear();
        breach("the receiver has no room for the message (flow-control overflow)");
    default: breach("a flow control of unknown status: " + hexText(data));
    }
}

std::deque<CanFrame> IsoTpEndpoint::takeDue(Micros now)
{
    while (!out_.empty() && !awaitingFlowControl_ && now >= nextConsecutive_) {
        const size_t take = std::min<size_t>(7, out_.size());
        Bytes data{static_cast<uint8_t>((kConsecutive << 4) | outSequence_)};
        data.insert(data.end(), out_.begin(), out_.begin() + static_cast<long>(take));
        out_.erase(out_.begin(), out_.begin() + static_cast<long>(take));
        due_.push_back(frame(std::move(data)));
        outSequence_ = (outSequence_ + 1) & 0x0F;
        nextConsecutive_ = now + spacingMicros_;
        if (!out_.empty() && blockLeft_ > 0 && --blockLeft_ == 0) {
            awaitingFlowControl_ = true;
            flowControlBy_ = now + ms(settings_.nBsMs);
        }
        // With a spacing, one frame at a time: the next is due later.
        if (spacingMicros_ > 0) break;
    }
    std::deque<CanFrame> out;
    out.swap(due_);
    return out;
}

std::optional<Bytes> IsoTpEndpoint::takeMessage()
{
    auto message = std::move(complete_);
    complete_.reset();
    return message;
}

void IsoTpEndpoint::checkTimers(Micros now) const
{
    if (awaitingFlowControl_ && now > flowControlBy_) {
        throw sessionError(SessionError::TransportTimeout, "No flow control from " + settings_.peer + " within N_Bs (" +
                                                               std::to_string(settings_.nBsMs) + " ms)");
    }
    if (expected_ > 0 && now > consecutiveBy_) {
        throw sessionError(SessionError::TransportTimeout, "No consecutive frame from " + settings_.peer +
                                                               " within N_Cr (" + std::to_string(settings_.nCrMs) +
                                                               " ms): " + std::to_string(in_.size()) + " of " +
                                                               std::to_string(expected_) + " bytes came");
    }
}

std::optional<Micros> IsoTpEndpoint::nextEvent() const
{
    std::optional<Micros> next;
    auto earliest = [&next](Micros at) { next = next ? std::min(*next, at) : at; };
    if (!due_.empty()) earliest(0);
    if (!out_.empty() && !awaitingFlowControl_) earliest(nextConsecutive_);
    if (awaitingFlowControl_) earliest(flowControlBy_ + 1);
    if (expected_ > 0) earliest(consecutiveBy_ + 1);
    return next;
}

}  // namespace TavrinKwp
