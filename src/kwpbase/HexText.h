// Message bytes and their text: the way frames are written in description
// files, logs and the run log.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace TavrinKwp {

using Bytes = std::vector<uint8_t>;

// Upper-case hex pairs separated by blanks: "82 10 F1 3E 01 C2".
std::string hexText(const Bytes& bytes);
// One byte as "0x7F".
std::string hexByte(uint8_t value);
// Reads "30 01 07" or "300107"; empty when the text is not hex.
std::optional<Bytes> parseHex(const std::string& text);

}  // namespace TavrinKwp
