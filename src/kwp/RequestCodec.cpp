#include "RequestCodec.h"

#include "DataCodec.h"
#include "ErrorNumbers.h"
#include "Kwp2000Codes.h"
#include "Sorvik3.h"

#include <algorithm>

namespace Sorvik3Sim {
namespace {

bool writes(const DataDescription& item)
{
    return !item.inResponse && item.kind == DataKind::Number;
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

bool isResponsePending(const Bytes& answer, uint8_t service)
{
    return answer.size() >= 3 && answer[0] == kNegativeResponse && answer[1] == service &&
           answer[2] == kResponsePending;
}

void checkAnswer(const std::string& ecu, const RequestDescription& request, const Bytes& answer)
{
    if (answer.empty()) {
        throw Sorvik3::Error(BadFrame, "Empty answer from ECU '" + ecu + "' to '" + request.name + "'");
    }
    if (answer[0] == kNegativeResponse && answer.size() >= 3 && answer[1] == request.service) {
        const uint8_t code = answer[2];
        throw Sorvik3::Error(code, "Negative response " + hexByte(code) + " " + responseCodeName(code) +
                                       " from ECU '" + ecu + "' to '" + request.name + "'");
    }
    if (answer[0] != static_cast<uint8_t>(request.service + kPositiveOffset)) {
        throw Sorvik3::Error(BadFrame, "Unexpected answer " + hexByte(answer[0]) + " from ECU '" + ecu + "' to '" +
                                           request.name + "'");
    }
}

}  // namespace Sorvik3Sim
