// Service identifiers and response codes of KWP2000 (ISO 14230-3) that the
// session library and the ECU simulator both speak.
#pragma once

#include <cstdint>
#include <string>

namespace TavrinKwp {

constexpr uint8_t kStartDiagnosticSession = 0x10;
constexpr uint8_t kReadEcuIdentification = 0x1A;
constexpr uint8_t kReadDataByLocalId = 0x21;
constexpr uint8_t kReadDataByCommonId = 0x22;
constexpr uint8_t kSecurityAccess = 0x27;
constexpr uint8_t kWriteDataByCommonId = 0x2E;
constexpr uint8_t kIoControlByCommonId = 0x2F;
constexpr uint8_t kIoControlByLocalId = 0x30;
constexpr uint8_t kStartRoutineByLocalId = 0x31;
constexpr uint8_t kStopRoutineByLocalId = 0x32;
constexpr uint8_t kRoutineResultsByLocalId = 0x33;
constexpr uint8_t kWriteDataByLocalId = 0x3B;
constexpr uint8_t kTesterPresent = 0x3E;
constexpr uint8_t kStartCommunication = 0x81;
constexpr uint8_t kStopCommunication = 0x82;

constexpr uint8_t kPositiveOffset = 0x40;
// A request that asks for no positive answer: KWP2000's TesterPresent 3E 02, the
// top bit of a UDS sub-function (suppressPosRspMsgIndicationBit).
constexpr uint8_t kNoResponseRequired = 0x02;
constexpr uint8_t kSuppressPositiveResponse = 0x80;
// returnControlToECU, the same in services 0x30 and 0x2F.
constexpr uint8_t kReturnControlToEcu = 0x00;
constexpr uint8_t kNegativeResponse = 0x7F;

constexpr uint8_t kServiceNotSupported = 0x11;
constexpr uint8_t kSubFunctionNotSupported = 0x12;
constexpr uint8_t kConditionsNotCorrect = 0x22;
constexpr uint8_t kRequestOutOfRange = 0x31;
constexpr uint8_t kResponsePending = 0x78;
// Response codes that ISO 14229-1 (UDS) adds.
constexpr uint8_t kIncorrectMessageLength = 0x13;
constexpr uint8_t kRequestSequenceError = 0x24;
constexpr uint8_t kSecurityAccessDenied = 0x33;
constexpr uint8_t kInvalidKey = 0x35;
constexpr uint8_t kExceededNumberOfAttempts = 0x36;
constexpr uint8_t kRequiredTimeDelayNotExpired = 0x37;
constexpr uint8_t kSubFunctionNotSupportedInActiveSession = 0x7E;
constexpr uint8_t kServiceNotSupportedInActiveSession = 0x7F;

// The KWP2000 name of a negative response code, e.g. 0x22 "conditionsNotCorrect".
std::string responseCodeName(uint8_t code);

}  // namespace TavrinKwp
