#include "VehicleRuntime.h"

#include "ErrorNumbers.h"
#include "Sorvik3.h"

#include <cstdio>

namespace Sorvik3Sim {
namespace {

std::string hexByte(uint8_t value)
{
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "0x%02X", static_cast<unsigned>(value));
    return buffer;
}

}  // namespace

VehicleRuntime::VehicleRuntime(VehicleDescription model) : model_(std::move(model)), clock_(SimClock::system())
{
    ecus_.reserve(model_.ecus.size());
    for (const auto& ecu : model_.ecus) {
        ecus_.push_back(EcuLine{SimulatedEcu(ecu), false});
        for (const auto& fault : ecu.faults) {
            if (fault.kind == FaultDescription::Kind::Init)
                faults_.failInit(ecu.name, fault.count);
            else if (fault.kind == FaultDescription::Kind::NoAnswer)
                faults_.dropAnswer(ecu.name, fault.request, fault.count);
            else
                faults_.answerNegatively(ecu.name, fault.request, fault.code, fault.count);
        }
    }
}

void VehicleRuntime::wait(size_t bytes)
{
    const uint32_t ms = model_.busLatencyMs + static_cast<uint32_t>(bytes * model_.byteTimeUs / 1000);
    if (ms > 0) clock_.sleep(ms);
}

void VehicleRuntime::init(size_t index)
{
    const EcuDescription& model = model_.ecus[index];
    wait(5);
    if (faults_.takeInitFault(model.name)) {
        clock_.sleep(kAnswerTimeoutMs);
        ecus_[index].initialized = false;
        throw Sorvik3::Error(NoAnswer, "ECU '" + model.name + "' does not answer the start of communication");
    }
    ecus_[index].behaviour.startCommunication(clock_.now());
    ecus_[index].initialized = true;
}

bool VehicleRuntime::communicationStopped() const
{
    for (const auto& ecu : ecus_) {
        if (ecu.initialized) return false;
    }
    return true;
}

void VehicleRuntime::stopCommunication()
{
    for (auto& ecu : ecus_) {
        if (!ecu.initialized) continue;
        ecu.behaviour.stopCommunication(clock_.now());
        ecu.initialized = false;
    }
}

void VehicleRuntime::transmit(size_t index, const RequestDescription& request, const Bytes& data, Exchange& exchange)
{
    const EcuDescription& model = model_.ecus[index];
    exchange = Exchange{};
    exchange.sentFrame = encodeFrame(Frame{model.address, model.testerAddress, data});
    if (!ecus_[index].initialized) {
        throw Sorvik3::Error(LinkNotOpen, "Communication with ECU '" + model.name + "' is not started");
    }
    const auto fault = faults_.takeRequestFault(model.name, request.name);
    if (fault && fault->kind == FaultDescription::Kind::NoAnswer) {
        clock_.sleep(kAnswerTimeoutMs);
        throw Sorvik3::Error(NoAnswer, "No answer from ECU '" + model.name + "' to '" + request.name + "' (timeout)");
    }
    for (int pending = 0; pending < request.pendingAnswers; ++pending) {
        if (pending == kMaxPendingAnswers) {
            throw Sorvik3::Error(TooManyPending, "ECU '" + model.name + "' kept answering 'response pending' to '" +
                                                     request.name + "'");
        }
        clock_.sleep(kPendingIntervalMs);
    }
    const Answer answer = fault ? Answer{Answer::Kind::Negative, {kNegativeResponse, request.service, fault->code}}
                                : ecus_[index].behaviour.handle(request, data, clock_.now());
    const Bytes answerFrame = encodeFrame(Frame{model.testerAddress, model.address, answer.data});
    wait(exchange.sentFrame.size() + answerFrame.size());
    exchange.receivedFrame = answerFrame;
    const auto decoded = decodeFrame(answerFrame);
    if (!decoded || decoded->data.empty()) {
        throw Sorvik3::Error(BadFrame, "Malformed answer from ECU '" + model.name + "' to '" + request.name + "'");
    }
    exchange.answer = decoded->data;
    if (exchange.answer[0] == kNegativeResponse && exchange.answer.size() >= 3) {
        const uint8_t code = exchange.answer[2];
        throw Sorvik3::Error(code, "Negative response " + hexByte(code) + " " + responseCodeName(code) + " to '" +
                                       request.name + "'");
    }
    if (exchange.answer[0] != static_cast<uint8_t>(request.service + kPositiveOffset)) {
        throw Sorvik3::Error(BadFrame, "Unexpected answer " + hexByte(exchange.answer[0]) + " from ECU '" + model.name +
                                           "' to '" + request.name + "'");
    }
}

}  // namespace Sorvik3Sim
