#include "HexText.h"

#include <cctype>

namespace TavrinKwp {

std::string hexText(const Bytes& bytes)
{
    static const char digits[] = "0123456789ABCDEF";
    if (bytes.empty()) return {};
    // Written in place: every exchange of a running test is logged as hex.
    std::string text(bytes.size() * 3 - 1, ' ');
    for (size_t i = 0; i < bytes.size(); ++i) {
        text[i * 3] = digits[bytes[i] >> 4];
        text[i * 3 + 1] = digits[bytes[i] & 0x0F];
    }
    return text;
}

std::string hexByte(uint8_t value)
{
    return "0x" + hexText({value});
}

std::optional<Bytes> parseHex(const std::string& text)
{
    std::string digits;
    for (char c : text) {
        if (std::isspace(static_cast<unsigned char>(c))) continue;
        if (!std::isxdigit(static_cast<unsigned char>(c))) return std::nullopt;
        digits.push_back(c);
    }
    if (digits.size() % 2 != 0) return std::nullopt;
    Bytes out;
    for (size_t i = 0; i < digits.size(); i += 2) {
        out.push_back(static_cast<uint8_t>(std::stoi(digits.substr(i, 2), nullptr, 16)));
    }
    return out;
}

}  // namespace TavrinKwp
