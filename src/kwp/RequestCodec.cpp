#include "RequestCodec.h"

#include "DataCodec.h"
#include "ErrorNumbers.h"
#include "Kwp2000Codes.h"
#include "Sorvik3.h"

#include <algorithm>
#include <cstdint>

namespace TavrinKwp {
namespace {

bool writes(const DataDescription& item)
{
    return !item.inResponse && item.kind == DataKind::Number;
}

// The parameter bytes after the service id that a positive answer repeats.
size_t echoedParameters(uint8_t service)
{
    switch (service) {
    case kIoControlByLocalId: return 2;   // local identifier, control option
    case kIoControlByCommonId: return 3;  // common identifier (2), control option
    case kReadDataByCommonId:
    case kWriteDataByCommonId: return 2;
    case kStartDiagnosticSession:
    case kReadEcuIdentification:
    case kReadDataByLocalId:
    case kSecurityAccess:
    case kStartRoutineByLocalId:
    case kStopRoutineByLocalId:
    case kRoutineResultsByLocalId:
    case kWriteDataByLocalId: return 1;
    default: return 0;
    }
}

// A response item of the ECU's own (not a repeat of the request) at this position.
bool answerItemAt(const RequestDescription& request, size_t position)
{
    for (const auto& item : request.items) {
        if (!item.inResponse || item.source.kind == ResponseSource::Kind::Echo) continue;
        const size_t first = static_cast<size_t>(item.position);
        const size_t size = item.size > 0 ? static_cast<size_t>(item.size) : SIZE_MAX - first;
        if (position >= first && position - first < size) return true;
    }
    return false;
}

}  // namespace

size_t requestLength(const RequestDescription& request)
{
    size_t length = request.templateBytes.size();
    for (const auto& item : request.items) {
        if (writes(item)) length = std::max(length, static_cast<size_t>(item.position + item.size));
    }
    return length;
}

std::vector<bool> writtenPositions(const RequestDescription& request)
{
    std::vector<bool> written(requestLength(request), false);
    for (const auto& item : request.items) {
        if (!writes(item)) continue;
        for (int i = 0; i < item.size; ++i)
            written[static_cast<size_t>(item.position + i)] = true;
    }
    return written;
}

Bytes encodeRequest(const RequestDescription& request, const std::vector<ItemValue>& values)
{
    Bytes message = request.templateBytes;
    message.resize(requestLength(request), 0);
    for (const auto& value : values) {
        if (writes(*value.item)) writeRaw(message, *value.item, rawFromPhysical(*value.item, value.physical));
    }
    return message;
}

bool asksNoPositiveAnswer(Protocol protocol, const Bytes& request)
{
    if (request.size() < 2) return false;
    if (protocol == Protocol::Kwp2000) return request[0] == kTesterPresent && request[1] == kNoResponseRequired;
    return (request[0] == kTesterPresent || request[0] == kStartDiagnosticSession) &&
           (request[1] & kSuppressPositiveResponse) != 0;
}

bool isResponsePending(const Bytes& answer, uint8_t service)
{
    return answer.size() >= 3 && answer[0] == kNegativeResponse && answer[1] == service &&
           answer[2] == kResponsePending;
}

bool answerBelongsTo(const RequestDescription& request, const Bytes& requestBytes, const Bytes& answer)
{
    if (answer.empty()) return false;
    if (answer[0] == kNegativeResponse) return answer.size() >= 3 && answer[1] == request.service;
    if (answer[0] != static_cast<uint8_t>(request.service + kPositiveOffset)) return false;
    const size_t echoed = echoedParameters(request.service);
    for (size_t i = 1; i <= echoed && i < requestBytes.size(); ++i) {
        if (answerItemAt(request, i)) continue;
        // An answer too short to repeat the byte is cut, not another request's.
        if (i < answer.size() && answer[i] != requestBytes[i]) return false;
    }
    return true;
}

void checkAnswer(const std::string& ecu, const RequestDescription& request, const Bytes& requestBytes,
                 const Bytes& answer)
{
    if (answer.empty()) {
        throw sessionError(SessionError::BadFrame, "Empty answer from ECU '" + ecu + "' to '" + request.name + "'");
    }
    if (answer[0] == kNegativeResponse && answer.size() >= 3 && answer[1] == request.service) {
        const uint8_t code = answer[2];
        throw Sorvik3::Error(code, "Negative response " + hexByte(code) + " " + responseCodeName(code) + " from ECU '" +
                                       ecu + "' to '" + request.name + "'");
    }
    if (!answerBelongsTo(request, requestBytes, answer)) {
        throw sessionError(SessionError::BadFrame, "Unexpected answer " + hexText(answer) + " from ECU '" + ecu +
                                                       "' to '" + request.name + "': it answers another request");
    }
    // An answer proves only what it holds: one too short for the bytes it
    // echoes or for a number it carries (a status, say) is cut, never read as zeros.
    const size_t needed = answerLength(request, requestBytes);
    if (answer.size() < needed) {
        throw sessionError(SessionError::BadFrame, "Cut answer " + hexText(answer) + " from ECU '" + ecu + "' to '" +
                                                       request.name + "': " + std::to_string(answer.size()) +
                                                       " bytes where its answer holds " + std::to_string(needed));
    }
}

size_t answerLength(const RequestDescription& request, const Bytes& requestBytes)
{
    const size_t echoed =
        std::min(echoedParameters(request.service), requestBytes.empty() ? 0 : requestBytes.size() - 1);
    size_t needed = 1 + echoed;
    for (const auto& item : request.items) {
        if (item.inResponse && item.kind == DataKind::Number)
            needed = std::max(needed, static_cast<size_t>(item.position + item.size));
    }
    return needed;
}

}  // namespace TavrinKwp
