#include "InProcessLink.h"

#include "ErrorNumbers.h"
#include "Kwp2000Codes.h"
#include "Sorvik3.h"

namespace TavrinKwp {

InProcessLink::InProcessLink(std::shared_ptr<VehicleSimulator> simulator)
    : simulator_(std::move(simulator)), ecus_(simulator_->model().ecus.size())
{}

size_t InProcessLink::indexOf(const EcuDescription& ecu) const
{
    const auto& all = simulator_->model().ecus;
    return static_cast<size_t>(&ecu - all.data());
}

void InProcessLink::busTime(size_t bytes, bool withLatency)
{
    const auto& vehicle = simulator_->model();
    if (vehicle.busLatencyMs == 0 && vehicle.byteTimeUs == 0) return;
    const uint32_t ms =
        (withLatency ? vehicle.busLatencyMs : 0) + static_cast<uint32_t>(bytes * vehicle.byteTimeUs / 1000);
    if (ms > 0) simulator_->clock().sleep(ms);
}

Bytes InProcessLink::frame(const EcuDescription& ecu, const Bytes& request) const
{
    return encodeFrame(Frame{ecu.address, ecu.testerAddress, request}, ecus_[indexOf(ecu)].form);
}

void InProcessLink::send(size_t index, const Bytes& request, WireRecord& wire)
{
    answers_.clear();
    wire.sent = frame(simulator_->model().ecus[index], request);
    waitingSince_ = simulator_->clock().now();
    simulator_->serve(index, request, [this](const Bytes& answer) {
        answers_.push_back({answer, simulator_->clock().now()});
    });
}

void InProcessLink::startCommunication(const EcuDescription& ecu, WireRecord& wire)
{
    const size_t index = indexOf(ecu);
    ecus_[index] = EcuState{};
    busTime(5, true);
    send(index, {kStartCommunication}, wire);
    if (answers_.empty()) {
        simulator_->clock().sleep(ecu.kline.timing.p2Max);
        throw sessionError(SessionError::NoAnswer, "ECU '" + ecu.name + "' does not answer the start of communication");
    }
    const Bytes answer = answers_.front().answer;
    answers_.clear();
    if (answer.size() < 3 || answer[0] != kStartCommunication + kPositiveOffset) {
        throw sessionError(SessionError::BadFrame,
                           "ECU '" + ecu.name + "' refuses the start of communication: " + hexText(answer));
    }
    wire.received = encodeFrame(Frame{ecu.testerAddress, ecu.address, answer});
    ecus_[index] = EcuState{true, headerFormFromKeyByte(answer[1]), simulator_->clock().now()};
}

void InProcessLink::stopCommunication(const EcuDescription& ecu)
{
    const size_t index = indexOf(ecu);
    if (!ecus_[index].started) return;
    WireRecord wire;
    send(index, {kStopCommunication}, wire);
    answers_.clear();
    ecus_[index].started = false;
}

Bytes InProcessLink::exchange(const EcuDescription& ecu, const std::string& what, const Bytes& request,
                              WireRecord& wire)
{
    const size_t index = indexOf(ecu);
    // After P3max of silence the ECU has ended the communication: start it again first.
    if (ecus_[index].started && simulator_->clock().now() - ecus_[index].lastAnswer >= ecu.kline.timing.p3Max) {
        WireRecord restart;
        startCommunication(ecu, restart);
    }
    send(index, request, wire);
    busTime(wire.sent.size(), true);
    Bytes answer = nextAnswer(ecu, what, answerTimeout(ecu), wire);
    busTime(wire.received.size(), false);
    return answer;
}

Bytes InProcessLink::nextAnswer(const EcuDescription& ecu, const std::string& what, uint32_t timeoutMs,
                                WireRecord& wire)
{
    // An answer that came after the wait is as good as none: the tester had given up.
    if (answers_.empty() || answers_.front().at - waitingSince_ > timeoutMs) {
        answers_.clear();
        const uint32_t waited = simulator_->clock().now() - waitingSince_;
        if (waited < timeoutMs) simulator_->clock().sleep(timeoutMs - waited);
        throw sessionError(SessionError::NoAnswer, "No answer from ECU '" + ecu.name + "' to '" + what + "' (timeout)");
    }
    Bytes answer = std::move(answers_.front().answer);
    waitingSince_ = answers_.front().at;
    answers_.pop_front();
    auto& state = ecus_[indexOf(ecu)];
    wire.received = encodeFrame(Frame{ecu.testerAddress, ecu.address, answer}, state.form);
    state.lastAnswer = simulator_->clock().now();
    return answer;
}

}  // namespace TavrinKwp
