// Error numbers of the simulated session library. A negative answer of an ECU
// carries its KWP2000 response code as the number (1 to 255); the library's own
// failures are numbered from 0x1000 so a host can tell the two apart.
#pragma once

#include <cstdint>
#include <string>

namespace Sorvik3Sim {

enum ErrorNumber : int32_t {
    NoAnswer = 0x1001,
    UnknownName = 0x1002,
    LinkNotOpen = 0x1003,
    BadFrame = 0x1004,
    TooManyPending = 0x1005,
    ValueOutOfRange = 0x1006,
    NotNumeric = 0x1007,
    NotWritable = 0x1008,
    BadDescription = 0x1010,
};

// The KWP2000 name of a negative response code, e.g. 0x22 "conditionsNotCorrect".
std::string responseCodeName(uint8_t code);

}  // namespace Sorvik3Sim
