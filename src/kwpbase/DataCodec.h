// Places a data item's value into message bytes and reads it back: big-endian,
// signed or not, with the item's linear scaling (physical = raw * factor + offset).
#pragma once

#include "HexText.h"
#include "VehicleModel.h"

#include <optional>
#include <string>

namespace TavrinKwp {

// The raw numbers the item's bytes can carry.
struct RawRange {
    int64_t low;
    int64_t high;
};
RawRange rawRange(const DataDescription& model);

// Throws Sorvik3::Error(SessionError::ValueOutOfRange) when the value does not fit the item.
int64_t rawFromPhysical(const DataDescription& model, double physical);
double physicalFromRaw(const DataDescription& model, int64_t raw);
void writeRaw(Bytes& message, const DataDescription& model, int64_t raw);
// Empty when the message is too short to hold the item.
std::optional<int64_t> readRaw(const Bytes& message, const DataDescription& model);
// The bytes of a Bytes item; a size of 0 takes the rest of the message.
Bytes readBytes(const Bytes& message, const DataDescription& model);
// The name of a named value, else the number with the item's decimals.
std::string formatPhysical(const DataDescription& model, double physical);

}  // namespace TavrinKwp
