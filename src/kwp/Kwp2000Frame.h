// KWP2000 frames on the K-line (ISO 14230-2): a format byte with the address
// mode and the length, target and source addresses when the mode has them, a
// length byte when the format byte cannot hold the length, the service bytes,
// and the additive checksum.
#pragma once

#include "HexText.h"

#include <cstdint>
#include <optional>

namespace TavrinKwp {

struct Frame {
    uint8_t target = 0;
    uint8_t source = 0;
    Bytes data;               // service id first
    bool addressed = true;    // false: a header without addresses
    bool functional = false;  // functional rather than physical addressing
};

// The header forms an ECU takes, from the first key byte of its StartCommunication answer.
struct HeaderForm {
    bool addresses = true;       // HB1: target and source in the header
    bool lengthInFormat = true;  // AL0: lengths up to 63 in the format byte
    bool lengthByte = true;      // AL1: a separate length byte
};
HeaderForm headerFormFromKeyByte(uint8_t keyByte1);

constexpr size_t kMaxFrameData = 255;
constexpr size_t kMaxFrameSize = 1 + 2 + 1 + kMaxFrameData + 1;

uint8_t checksum(const Bytes& bytes);
// Throws Sorvik3::Error(SessionError::BadFrame) when the data cannot go into a frame of that form.
Bytes encodeFrame(const Frame& frame, const HeaderForm& form = {});
// The size of the whole frame that starts with these bytes; empty while more
// header bytes are needed to tell, 0 when they are no frame start.
std::optional<size_t> frameSize(const uint8_t* bytes, size_t available);
// Empty when the bytes are no valid frame (length or checksum wrong).
std::optional<Frame> decodeFrame(const Bytes& bytes);

}  // namespace TavrinKwp
