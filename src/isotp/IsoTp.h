// ISO-TP (ISO 15765-2): messages of up to 4095 bytes over CAN frames of eight.
// No bus here: a transfer is fed the frames that arrive and the time, and gives
// the frames to put on the bus when they are due, so it is tested alone and
// driven by any bus.
#pragma once

#include "HexText.h"

#include <cstdint>
#include <deque>
#include <optional>
#include <string>

namespace TavrinKwp {

struct CanFrame {
    uint32_t id = 0;
    bool extended = false;  // 29-bit identifier
    Bytes data;             // up to eight bytes
};

struct IsoTpSettings {
    uint32_t txId = 0x7E0;  // the frames this side sends
    uint32_t rxId = 0x7E8;  // the frames this side takes; others are ignored
    bool extendedIds = false;
    std::optional<uint8_t> padding;  // fills frames to eight bytes: none, 0x55, 0xAA or 0xCC
    uint8_t blockSize = 0;           // given in this side's flow control; 0: no limit
    uint8_t stMin = 0;               // given in this side's flow control, as on the bus
    uint32_t nAsMs = 1000;           // a frame written must leave within this
    uint32_t nBsMs = 1000;           // a flow control must come within this
    uint32_t nCrMs = 1000;           // the next consecutive frame must come within this
    size_t maxLength = 4095;         // longest message taken
    uint8_t maxWaits = 10;           // flow-control "wait" frames taken in a row
    std::string peer;                // who is at the other end, for errors
};

// The time STmin asks between consecutive frames, in microseconds: 0x00 to 0x7F
// are milliseconds, 0xF1 to 0xF9 100 to 900 microseconds; the reserved values
// are taken as the longest, 127 ms.
uint32_t stMinMicros(uint8_t raw);

using Micros = uint64_t;

// One side of an ISO-TP connection: sends one message at a time and receives
// one at a time. Throws Sorvik3::Error(TransportTimeout / TransportError) naming
// the peer when the other side breaks the protocol or falls silent.
class IsoTpEndpoint {
  public:
    explicit IsoTpEndpoint(IsoTpSettings settings);
    const IsoTpSettings& settings() const { return settings_; }

    // Starts sending a message (1 to 4095 bytes); its first frame is due at once.
    void send(const Bytes& message, Micros now);
    // A frame from the bus. Frames of other identifiers are ignored.
    void receive(const CanFrame& frame, Micros now);
    // The frames due by now, in the order they go on the bus.
    std::deque<CanFrame> takeDue(Micros now);
    // A message received whole, once.
    std::optional<Bytes> takeMessage();
    // Throws when a timer ran out by now.
    void checkTimers(Micros now) const;
    // When a frame will next be due or a timer runs out; empty when nothing waits.
    std::optional<Micros> nextEvent() const;
    // Whether the message given to send has gone out whole.
    bool sent() const { return out_.empty() && !awaitingFlowControl_; }
    // Whether a multi-frame message is coming in.
    bool receiving() const { return expected_ > 0; }
    // Drops what is under way, both ways.
    void reset();
    // Frames out of turn or malformed that were ignored, and the last of them.
    size_t ignoredFrames() const { return ignored_; }
    const Bytes& lastIgnored() const { return lastIgnored_; }

  private:
    CanFrame frame(Bytes data) const;
    void sendFlowControl(uint8_t status);
    void onFlowControl(const Bytes& data, Micros now);
    void onSingleFrame(const Bytes& data);
    void onFirstFrame(const Bytes& data, Micros now);
    void ignore(const Bytes& data);
    void onConsecutiveFrame(const Bytes& data, Micros now);
    [[noreturn]] void breach(const std::string& what) const;

    IsoTpSettings settings_;
    std::deque<CanFrame> due_;  // ready now

    // Sending
    Bytes out_;  // what is left to send
    uint8_t outSequence_ = 1;
    bool awaitingFlowControl_ = false;
    Micros flowControlBy_ = 0;
    int blockLeft_ = 0;  // consecutive frames before the next flow control; 0: no limit
    uint32_t spacingMicros_ = 0;
    Micros nextConsecutive_ = 0;
    int waits_ = 0;

    // Receiving
    Bytes in_;
    size_t expected_ = 0;
    uint8_t inSequence_ = 1;
    int blockReceived_ = 0;
    Micros consecutiveBy_ = 0;
    std::optional<Bytes> complete_;
    size_t ignored_ = 0;
    Bytes lastIgnored_;
};

}  // namespace TavrinKwp
