// What an ELM327-compatible adapter answers, read from its text: the lines of a
// reply, the adapter's own complaints turned into errors a user can act on,
// and the ECU's messages rebuilt from the frames it prints with headers on.
#pragma once

#include "ErrorNumbers.h"
#include "HexText.h"

#include <optional>
#include <string>
#include <vector>

namespace TavrinKwp {

// Hex digits as the adapter takes them: a value in so many digits, bytes without blanks.
std::string hexDigits(uint32_t value, int digits);
std::string compactHex(const Bytes& bytes);

// The lines of one reply up to the prompt: split at CR and LF, trimmed, blank
// lines, the echo of the command and "SEARCHING..." left out.
std::vector<std::string> replyLines(const std::string& text, const std::string& command);

// A reply line that is the adapter's own word rather than data.
struct AdapterProblem {
    SessionError error;
    std::string words;  // what happened and what to check
};
std::optional<AdapterProblem> adapterProblem(const std::string& line);

// One CAN frame as printed with headers on: identifier, then the data bytes.
struct ElmCanFrame {
    uint32_t id = 0;
    Bytes data;
};
// "7E8 06 70 ..." or "7E80670..." (8 identifier digits for 29-bit); empty when the line is no frame.
std::optional<ElmCanFrame> canFrameLine(const std::string& line, bool extendedIds);

// The ISO-TP messages in the frames of one identifier, in order (others are
// skipped). Throws SessionError::BadFrame for a frame out of sequence or a
// message cut short.
std::vector<Bytes> canMessages(const std::vector<ElmCanFrame>& frames, uint32_t responseId);

// The service bytes of the K-line frames printed with headers on (format,
// target, source, [length,] data, checksum) that come from this ECU to this
// tester. Throws SessionError::BadFrame for a wrong checksum or length.
std::vector<Bytes> klineMessages(const std::vector<std::string>& lines, uint8_t ecuAddress, uint8_t testerAddress);

}  // namespace TavrinKwp
