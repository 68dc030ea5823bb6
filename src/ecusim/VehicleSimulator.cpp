#include "VehicleSimulator.h"

#include "Kwp2000Codes.h"
#include "RequestCodec.h"

#include <utility>

namespace TavrinKwp {
namespace {

Bytes negative(uint8_t service, uint8_t code)
{
    return {kNegativeResponse, service, code};
}

// The services a UDS ECU answers whether or not its description lists them.
const RequestDescription* udsServiceRequest(uint8_t service)
{
    static const auto made = [](const char* name, uint8_t id) {
        RequestDescription request;
        request.name = name;
        request.service = id;
        request.templateBytes = {id};
        return request;
    };
    static const RequestDescription security = made("SecurityAccess", kSecurityAccess);
    static const RequestDescription testerPresent = made("TesterPresent", kTesterPresent);
    if (service == kSecurityAccess) return &security;
    if (service == kTesterPresent) return &testerPresent;
    return nullptr;
}

}  // namespace

VehicleSimulator::VehicleSimulator(std::shared_ptr<const VehicleDescription> model)
    : model_(std::move(model)), clock_(SessionClock::system())
{
    ecus_.reserve(model_->ecus.size());
    for (const auto& ecu : model_->ecus) {
        ecus_.push_back(EcuLine{SimulatedEcu(ecu), RequestMatcher(ecu), false, 0, {}});
        for (const auto& fault : ecu.faults) {
            if (fault.kind == FaultDescription::Kind::Init)
                faults_.failInit(ecu.name, fault.count);
            else if (fault.kind == FaultDescription::Kind::NoAnswer)
                faults_.dropAnswer(ecu.name, fault.request, fault.count);
            else if (fault.kind == FaultDescription::Kind::Negative)
                faults_.answerNegatively(ecu.name, fault.request, fault.code, fault.count);
            else if (fault.kind == FaultDescription::Kind::WrongKey)
                faults_.refuseKey(ecu.name, fault.count);
            else
                faults_.spoilAnswer(ecu.name, fault.request, fault.kind, fault.count);
        }
    }
}

std::optional<size_t> VehicleSimulator::ecuAt(uint8_t address) const
{
    for (size_t i = 0; i < model_->ecus.size(); ++i) {
        if (model_->ecus[i].address == address) return i;
    }
    return std::nullopt;
}

void VehicleSimulator::serve(size_t index, const Bytes& request, const Reply& reply, Transport transport)
{
    std::lock_guard lock(mutex_);
    if (request.empty()) return;
    if (observer_) observer_(index, request);
    EcuLine& line = ecus_[index];
    const EcuDescription& model = model_->ecus[index];
    const uint32_t now = clock_.now();
    if (model.protocol == Protocol::Uds && transport == Transport::Can) {
        if (request[0] == kStartCommunication || request[0] == kStopCommunication) {
            if (request[0] == kStartCommunication && faults_.takeInitFault(model.name)) return;
            return reply(negative(request[0], kServiceNotSupported));
        }
        line.communicating = true;
        return answerRequest(line, request, reply);
    }
    if (request[0] == kStartCommunication) {
        if (faults_.takeInitFault(model.name)) return;
        line.communicating = true;
        reply(line.behaviour.startCommunication(now).data);
        line.lastActivity = clock_.now();
        return;
    }
    // Silence longer than P3max ends the communication: the ECU waits for a new start.
    if (line.communicating && now - line.lastActivity > model.kline.timing.p3Max) {
        line.behaviour.stopCommunication(now);
        line.communicating = false;
    }
    if (!line.communicating) return;
    if (request[0] == kStopCommunication) {
        line.behaviour.stopCommunication(now);
        line.communicating = false;
        reply({kStopCommunication + kPositiveOffset});
        return;
    }
    answerRequest(line, request, reply);
    line.lastActivity = clock_.now();
}

void VehicleSimulator::answerRequest(EcuLine& line, const Bytes& request, const Reply& reply)
{
    const EcuDescription& model = model_->ecus[static_cast<size_t>(&line - ecus_.data())];
    const uint8_t service = request[0];
    const RequestDescription* known = line.matcher.recognise(request);
    if (known == nullptr && model.protocol == Protocol::Uds) known = udsServiceRequest(service);
    if (known == nullptr) {
        reply(negative(service, line.matcher.offers(service) ? kSubFunctionNotSupported : kServiceNotSupported));
        return;
    }
    const auto fault = faults_.takeRequestFault(model.name, known->name);
    if (fault && fault->kind == FaultDescription::Kind::Negative) return reply(negative(service, fault->code));
    if (fault && fault->kind == FaultDescription::Kind::NoAnswer) return;
    for (int i = 0; i < known->pendingAnswers; ++i) {
        reply(negative(service, kResponsePending));
        clock_.sleep(kPendingIntervalMs);
    }
    if (service == kSecurityAccess && request.size() > 1 && request[1] % 2 == 0 && faults_.takeKeyFault(model.name))
        line.behaviour.expectWrongKey();
    const Answer answer = line.behaviour.handle(*known, request, clock_.now());
    const bool answerAnyway = fault && fault->kind == FaultDescription::Kind::Suppressed;
    if (asksNoPositiveAnswer(model.protocol, request) && answer.kind == Answer::Kind::Positive && !answerAnyway) return;
    if (answerAnyway) {
        // The worst time for it: after the tester took the silence for success,
        // whatever allowance for the network it adds to P2max.
        const uint32_t p2Max = model.can ? model.can->p2Max : model.kline.timing.p2Max;
        clock_.sleep(2 * p2Max + kLateByMs);
        return reply(answer.data);
    }
    const Bytes previous = std::exchange(line.lastAnswer, answer.data);
    if (fault && fault->kind == FaultDescription::Kind::Refused) return reply(negative(service, fault->code));
    if (fault) return spoiled(fault->kind, model, answer.data, previous, reply);
    reply(answer.data);
}

// An answer that goes wrong after the ECU has acted on the request.
void VehicleSimulator::spoiled(FaultDescription::Kind kind, const EcuDescription& model, const Bytes& answer,
                               const Bytes& previous, const Reply& reply)
{
    switch (kind) {
    case FaultDescription::Kind::Late:
        clock_.sleep(model.kline.timing.p2Max + kLateByMs);
        reply(answer);
        break;
    case FaultDescription::Kind::Cut: reply(Bytes(answer.begin(), answer.begin() + (answer.size() * 2 + 2) / 3)); break;
    case FaultDescription::Kind::Stale:
        if (!previous.empty()) reply(previous);
        break;
    default: break;  // lost
    }
}

}  // namespace TavrinKwp
