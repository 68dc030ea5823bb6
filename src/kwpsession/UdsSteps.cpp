// What a UDS ECU (ISO 14229-1) needs around a request: SecurityAccess before
// output control, the ECU's own P2 and P2* from its session answer, requests
// that ask for no positive answer, and the word that an ECU whose session
// ended has taken control back.
#include "VehicleRuntime.h"

#include "ErrorNumbers.h"
#include "Kwp2000Codes.h"
#include "RequestCodec.h"

namespace TavrinKwp {
namespace {

// ISO 15765-4's allowance for the network on top of the ECU's own P2.
constexpr uint32_t kNetworkAllowanceMs = 25;

bool returnsControl(const Bytes& data)
{
    return data.size() >= 4 && data[0] == kIoControlByCommonId && data[3] == kReturnControlToEcu;
}

RequestDescription securityRequest(const char* name, uint8_t subFunction)
{
    RequestDescription request;
    request.name = name;
    request.service = kSecurityAccess;
    request.templateBytes = {kSecurityAccess, subFunction};
    return request;
}

}  // namespace

Bytes VehicleRuntime::answerOf(size_t index, const RequestDescription& request, const Bytes& data, WireRecord& wire)
{
    const EcuDescription& ecu = model_->ecus[index];
    if (asksNoPositiveAnswer(ecu.protocol, data)) return suppressedAnswer(ecu, request, data, wire);
    return ownAnswer(ecu, request, data, link_->exchange(ecu, request.name, data, wire), wire);
}

// No positive answer is due, but a refusal is (ISO 14229-1 sends negative
// answers whatever the bit says): P2 of silence is success. An answer after P2
// is dropped by the link, never taken for the next request's.
Bytes VehicleRuntime::suppressedAnswer(const EcuDescription& ecu, const RequestDescription& request, const Bytes& data,
                                       WireRecord& wire)
{
    try {
        return ownAnswer(ecu, request, data, link_->exchange(ecu, request.name, data, wire), wire);
    } catch (const Sorvik3::Error& error) {
        if (error.number() != number(SessionError::NoAnswer)) throw;
        return {};
    }
}

// 50 session P2 P2*: P2 in milliseconds, P2* in tens of milliseconds, both two bytes.
void VehicleRuntime::noteServerTiming(const EcuDescription& ecu, const RequestDescription& request, const Bytes& answer)
{
    if (ecu.protocol != Protocol::Uds || request.service != kStartDiagnosticSession || answer.size() < 6) return;
    const uint32_t p2 = static_cast<uint32_t>(answer[2] << 8 | answer[3]);
    const uint32_t p2Extended = static_cast<uint32_t>(answer[4] << 8 | answer[5]) * 10;
    if (p2 == 0 || p2Extended == 0) return;  // an ECU that gives none keeps the description's
    link_->useServerTiming(ecu, p2 + kNetworkAllowanceMs, p2Extended + kNetworkAllowanceMs);
}

Bytes VehicleRuntime::securityStep(const EcuDescription& ecu, const RequestDescription& step, const Bytes& data)
{
    WireRecord wire;
    Bytes answer = ownAnswer(ecu, step, data, link_->exchange(ecu, step.name, data, wire), wire);
    checkAnswer(ecu.name, step, data, answer);
    return answer;
}

// Output control of an ECU that asks for SecurityAccess: the seed, the key from
// the plug-in, the key sent. It holds until the session ends (a new one, or S3 of silence).
void VehicleRuntime::unlockFor(size_t index, const RequestDescription& request, const Bytes& data)
{
    const EcuDescription& ecu = model_->ecus[index];
    if (!ecu.security || data.empty() || data[0] != kIoControlByCommonId) return;
    if (unlocked_[index] && clock_.now() - granted_[index].lastExchange <= ecu.sessionTimeoutMs) return;
    unlocked_[index] = false;
    const SecurityDescription& security = *ecu.security;
    const auto seedRequest = securityRequest("SecurityAccess.RequestSeed", security.level);
    const auto keyRequest = securityRequest("SecurityAccess.SendKey", static_cast<uint8_t>(security.level + 1));
    Bytes key;
    try {
        const Bytes seedAnswer = securityStep(ecu, seedRequest, seedRequest.templateBytes);
        const Bytes seed(seedAnswer.begin() + std::min<size_t>(2, seedAnswer.size()), seedAnswer.end());
        const bool alreadyOpen =
            !seed.empty() && std::all_of(seed.begin(), seed.end(), [](uint8_t b) { return b == 0; });
        if (!alreadyOpen) {
            if (seed.empty()) throw sessionError(SessionError::BadFrame, "the seed answer holds no seed");
            key = keyPlugins_.key(security.keyPlugin, security.level, seed);
            Bytes sendKey = keyRequest.templateBytes;
            sendKey.insert(sendKey.end(), key.begin(), key.end());
            securityStep(ecu, keyRequest, sendKey);
        }
    } catch (const Sorvik3::Error& error) {
        const std::string sent = key.empty() ? "" : " (key " + KeyPlugins::masked(key) + ")";
        throw Sorvik3::Error(error.number(), "SecurityAccess of ECU '" + ecu.name + "' before '" + request.name +
                                                 "' failed" + sent + ": " + error.description());
    }
    unlocked_[index] = true;
    granted_[index].lastExchange = clock_.now();
}

// A returnControlToECU refused because the ECU is not in a session that offers
// output control: its session ended (S3 passed, it was switched off) and, as
// ISO 14229-1 has it, it took its outputs back then. Not a confirmed stop, not a failed one.
void VehicleRuntime::tellControlReturned(const EcuDescription& ecu, const Bytes& data, const Sorvik3::Error& error)
{
    const auto code = error.number();
    const bool sessionGone =
        code == kServiceNotSupportedInActiveSession || code == kSubFunctionNotSupportedInActiveSession;
    if (!returnsControl(data) || !sessionGone) throw error;
    throw sessionError(SessionError::ControlReturned,
                       "ECU '" + ecu.name +
                           "' is no longer in the diagnostic session that output control was given "
                           "in (S3 passed or it was switched off): it has taken control of data identifier " +
                           hexText({data[1], data[2]}) + " back itself (" + error.description() + ")");
}

}  // namespace TavrinKwp
