#include "Kwp2000Frame.h"

#include <cctype>

namespace Sorvik3Sim {

uint8_t checksum(const Bytes& bytes)
{
    unsigned sum = 0;
    for (uint8_t b : bytes)
        sum += b;
    return static_cast<uint8_t>(sum & 0xFF);
}

Bytes encodeFrame(const Frame& frame)
{
    Bytes out;
    const size_t length = frame.data.size();
    if (length <= 63) {
        out.push_back(static_cast<uint8_t>(0x80 | length));
        out.push_back(frame.target);
        out.push_back(frame.source);
    } else {
        out.push_back(0x80);
        out.push_back(frame.target);
        out.push_back(frame.source);
        out.push_back(static_cast<uint8_t>(length));
    }
    out.insert(out.end(), frame.data.begin(), frame.data.end());
    out.push_back(checksum(out));
    return out;
}

std::optional<Frame> decodeFrame(const Bytes& bytes)
{
    if (bytes.size() < 4 || (bytes[0] & 0xC0) != 0x80) return std::nullopt;
    size_t header = 3;
    size_t length = bytes[0] & 0x3F;
    if (length == 0) {
        header = 4;
        length = bytes[3];
    }
    if (bytes.size() != header + length + 1) return std::nullopt;
    Bytes body(bytes.begin(), bytes.end() - 1);
    if (checksum(body) != bytes.back()) return std::nullopt;
    Frame frame;
    frame.target = bytes[1];
    frame.source = bytes[2];
    frame.data.assign(bytes.begin() + static_cast<long>(header), bytes.end() - 1);
    return frame;
}

std::string hexText(const Bytes& bytes)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(bytes.size() * 3);
    for (uint8_t b : bytes) {
        if (!text.empty()) text.push_back(' ');
        text.push_back(digits[b >> 4]);
        text.push_back(digits[b & 0x0F]);
    }
    return text;
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

}  // namespace Sorvik3Sim
