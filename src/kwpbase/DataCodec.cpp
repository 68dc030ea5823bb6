#include "DataCodec.h"

#include "ErrorNumbers.h"
#include "Sorvik3.h"

#include <charconv>
#include <cmath>

namespace TavrinKwp {
namespace {

int lowestBit(uint32_t mask)
{
    int shift = 0;
    while (mask != 0 && (mask & 1U) == 0) {
        mask >>= 1;
        ++shift;
    }
    return shift;
}

}  // namespace

RawRange rawRange(const DataDescription& model)
{
    if (model.bitMask != 0) return {0, static_cast<int64_t>(model.bitMask >> lowestBit(model.bitMask))};
    const int bits = 8 * model.size;
    if (model.isSigned) return {-(int64_t{1} << (bits - 1)), (int64_t{1} << (bits - 1)) - 1};
    return {0, (int64_t{1} << bits) - 1};
}

int64_t rawFromPhysical(const DataDescription& model, double physical)
{
    const double scaled = (physical - model.offset) / model.factor;
    const auto [low, high] = rawRange(model);
    // Judged after rounding: 255.5 rounds to 256, which one byte would carry as 0.
    const bool fits = std::isfinite(scaled) && scaled > static_cast<double>(low) - 1.0 &&
                      scaled < static_cast<double>(high) + 1.0 && std::llround(scaled) >= low &&
                      std::llround(scaled) <= high;
    if (!fits) {
        throw sessionError(SessionError::ValueOutOfRange,
                           "Value " + formatPhysical(model, physical) + " out of range for '" + model.name + "'");
    }
    return std::llround(scaled);
}

double physicalFromRaw(const DataDescription& model, int64_t raw)
{
    return static_cast<double>(raw) * model.factor + model.offset;
}

void writeRaw(Bytes& message, const DataDescription& model, int64_t raw)
{
    const size_t end = static_cast<size_t>(model.position + model.size);
    if (message.size() < end) message.resize(end, 0);
    auto value = static_cast<uint64_t>(raw);
    if (model.bitMask != 0) {
        // The other bits of the bytes are left as they are.
        uint64_t whole = 0;
        for (int i = 0; i < model.size; ++i)
            whole = (whole << 8) | message[static_cast<size_t>(model.position + i)];
        value = (whole & ~uint64_t{model.bitMask}) | ((value << lowestBit(model.bitMask)) & model.bitMask);
    }
    for (int i = model.size - 1; i >= 0; --i) {
        message[static_cast<size_t>(model.position + i)] = static_cast<uint8_t>(value & 0xFF);
        value >>= 8;
    }
}

std::optional<int64_t> readRaw(const Bytes& message, const DataDescription& model)
{
    if (message.size() < static_cast<size_t>(model.position + model.size)) return std::nullopt;
    uint64_t value = 0;
    for (int i = 0; i < model.size; ++i)
        value = (value << 8) | message[static_cast<size_t>(model.position + i)];
    if (model.bitMask != 0) return static_cast<int64_t>((value & model.bitMask) >> lowestBit(model.bitMask));
    if (model.isSigned && model.size < 8 && (value & (uint64_t{1} << (8 * model.size - 1)))) {
        value |= ~((uint64_t{1} << (8 * model.size)) - 1);
    }
    return static_cast<int64_t>(value);
}

Bytes readBytes(const Bytes& message, const DataDescription& model)
{
    const auto begin = static_cast<size_t>(model.position);
    if (message.size() <= begin) return {};
    const size_t end =
        model.size == 0 ? message.size() : std::min(message.size(), begin + static_cast<size_t>(model.size));
    return Bytes(message.begin() + static_cast<long>(begin), message.begin() + static_cast<long>(end));
}

std::string formatPhysical(const DataDescription& model, double physical)
{
    if (model.namedValues) {
        for (const auto& named : *model.namedValues) {
            if (static_cast<double>(named.number) == physical) return named.name;
        }
    }
    char buffer[64];
    auto [end, error] =
        std::to_chars(buffer, buffer + sizeof buffer, physical, std::chars_format::fixed, model.decimals);
    std::string text = error == std::errc() ? std::string(buffer, end) : std::string("?");
    if (text == "-0" || text.rfind("-0.", 0) == 0) {
        bool allZero = text.find_first_not_of("-0.") == std::string::npos;
        if (allZero) text.erase(0, 1);
    }
    return text;
}

}  // namespace TavrinKwp
