#include "Kwp2000Codes.h"

#include <cstdio>

namespace TavrinKwp {

std::string responseCodeName(uint8_t code)
{
    switch (code) {
    case 0x10: return "generalReject";
    case 0x11: return "serviceNotSupported";
    case 0x12: return "subFunctionNotSupported-invalidFormat";
    case 0x13: return "incorrectMessageLengthOrInvalidFormat";
    case 0x14: return "responseTooLong";
    case 0x21: return "busy-RepeatRequest";
    case 0x22: return "conditionsNotCorrect";
    case 0x23: return "routineNotComplete";
    case 0x24: return "requestSequenceError";
    case 0x25: return "noResponseFromSubnetComponent";
    case 0x26: return "failurePreventsExecutionOfRequestedAction";
    case 0x31: return "requestOutOfRange";
    case 0x33: return "securityAccessDenied";
    case 0x35: return "invalidKey";
    case 0x36: return "exceedNumberOfAttempts";
    case 0x37: return "requiredTimeDelayNotExpired";
    case 0x78: return "requestCorrectlyReceived-ResponsePending";
    case 0x7E: return "subFunctionNotSupportedInActiveSession";
    case 0x7F: return "serviceNotSupportedInActiveSession";
    case 0x80: return "serviceNotSupportedInActiveDiagnosticSession";
    default: break;
    }
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "responseCode%02X", static_cast<unsigned>(code));
    return buffer;
}

}  // namespace TavrinKwp
