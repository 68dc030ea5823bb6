// A request's message built from its data items, and the checks an answer
// passes before its items are read.
#pragma once

#include "HexText.h"
#include "VehicleModel.h"

#include <string>
#include <vector>

namespace TavrinKwp {

// The request's length on the wire: its fixed bytes, grown to hold every request item.
size_t requestLength(const RequestDescription& request);
// Positions that some request item writes.
std::vector<bool> writtenPositions(const RequestDescription& request);

struct ItemValue {
    const DataDescription* item;
    double physical;
};
// The fixed bytes with each value written in; where items share bytes the later one
// wins. Throws Sorvik3::Error(SessionError::ValueOutOfRange) for a value its bytes cannot carry.
Bytes encodeRequest(const RequestDescription& request, const std::vector<ItemValue>& values);

// Whether the request asks for no positive answer (a negative one is still due, ISO 14229-1).
bool asksNoPositiveAnswer(Protocol protocol, const Bytes& request);
// "Response pending" (7F service 78) to this service.
bool isResponsePending(const Bytes& answer, uint8_t service);
// Whether an answer is this request's own: a negative answer to its service,
// or a positive one that repeats the parameter bytes KWP2000 has it repeat
// (the local identifier, the control option) where the request has them and no
// response item of the description sits there. A late answer to an earlier
// request is not.
bool answerBelongsTo(const RequestDescription& request, const Bytes& requestBytes, const Bytes& answer);
// The bytes a positive answer holds at least: the service, what it echoes and
// every number of the description's answer.
size_t answerLength(const RequestDescription& request, const Bytes& requestBytes);
// Throws for a negative answer (its response code as the number) and for an
// answer that is not this request's or is cut (BadFrame); names the ECU and the request.
void checkAnswer(const std::string& ecu, const RequestDescription& request, const Bytes& requestBytes,
                 const Bytes& answer);

}  // namespace TavrinKwp
