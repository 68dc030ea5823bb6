// KWP2000 (ISO 14230) frames on the K-line: format byte with length, target and
// source address, the service bytes, and the additive checksum.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace Sorvik3Sim {

using Bytes = std::vector<uint8_t>;

struct Frame {
    uint8_t target = 0;
    uint8_t source = 0;
    Bytes data;  // service id first
};

uint8_t checksum(const Bytes& bytes);
// Lengths up to 63 sit in the format byte; longer ones get a length byte.
Bytes encodeFrame(const Frame& frame);
// Empty when the bytes are no valid frame (length or checksum wrong).
std::optional<Frame> decodeFrame(const Bytes& bytes);
// Upper-case hex pairs separated by blanks: "82 10 F1 3E 01 C2".
std::string hexText(const Bytes& bytes);
// Reads "30 01 07" or "300107"; empty when the text is not hex.
std::optional<Bytes> parseHex(const std::string& text);

constexpr uint8_t kNegativeResponse = 0x7F;
constexpr uint8_t kResponsePending = 0x78;
constexpr uint8_t kPositiveOffset = 0x40;

}  // namespace Sorvik3Sim
