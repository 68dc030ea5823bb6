#include "Kwp2000Codes.h"

#include <cstdio>

namespace TavrinKwp {

std::string responseCodeName(uint8_t code)
{
    switch (code) {
    case 0x10: return "generalReject";
    case 0x11: return "serviceNotSupported";
    case 0x12: return "subFunctionNotSupported-invalidFormat";
    case 0x21: return "busy-RepeatRequest";
    case 0x22: return "conditionsNotCorrect";
    case 0x23: return "routineNotComplete";
    case 0x31: return "requestOutOfRange";
    case 0x33: return "securityAccessDenied";
    case 0x78: return "requestCorrectlyReceived-ResponsePending";
    case 0x80: return "serviceNotSupportedInActiveDiagnosticSession";
    default: break;
    }
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "responseCode%02X", static_cast<unsigned>(code));
    return buffer;
}

}  // namespace TavrinKwp
