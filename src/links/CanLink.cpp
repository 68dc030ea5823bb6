#include "CanLink.h"

#include "ErrorNumbers.h"
#include "Kwp2000Codes.h"
#include "Sorvik3.h"

#include <algorithm>

namespace TavrinKwp {

Micros nowMicros()
{
    using namespace std::chrono;
    return static_cast<Micros>(duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count());
}

IsoTpSettings isoTpSettings(const EcuDescription& ecu, bool forEcu)
{
    const CanSettings& can = *ecu.can;
    IsoTpSettings settings;
    settings.txId = forEcu ? can.responseId : can.requestId;
    settings.rxId = forEcu ? can.requestId : can.responseId;
    settings.extendedIds = can.extendedIds;
    settings.padding = can.padding;
    settings.blockSize = can.blockSize;
    settings.stMin = can.stMin;
    settings.peer = forEcu ? "the tester" : "ECU '" + ecu.name + "'";
    return settings;
}

CanLink::CanLink(std::string name, CanOptions options) : name_(std::move(name)), options_(std::move(options))
{}

CanLink::~CanLink() = default;

const CanSettings& CanLink::settings(const EcuDescription& ecu) const
{
    if (!ecu.can) {
        throw sessionError(SessionError::LinkNotOpen,
                           "ECU '" + ecu.name + "' has no CAN identifiers in the vehicle description");
    }
    return *ecu.can;
}

IsoTpEndpoint& CanLink::endpoint(const EcuDescription& ecu)
{
    settings(ecu);
    auto found = endpoints_.find(&ecu);
    if (found == endpoints_.end()) found = endpoints_.emplace(&ecu, IsoTpEndpoint(isoTpSettings(ecu, false))).first;
    return found->second;
}

void CanLink::open()
{
    if (!port_) port_ = std::make_unique<CanBusPort>(options_.plugin, options_.interface, options_.device);
}

void CanLink::close()
{
    port_.reset();
}

Bytes CanLink::frame(const EcuDescription&, const Bytes& request) const
{
    return request;
}

void CanLink::flush(IsoTpEndpoint& endpoint)
{
    bool wrote = false;
    for (const CanFrame& frame : endpoint.takeDue(nowMicros())) {
        port_->write(frame);
        wrote = true;
    }
    const uint32_t limit = endpoint.settings().nAsMs;
    if (wrote && !port_->waitWritten(CanBusPort::Clock::now() + std::chrono::milliseconds(limit))) {
        throw sessionError(SessionError::TransportTimeout, "A frame to " + endpoint.settings().peer +
                                                               " did not leave " + port_->name() + " within N_As (" +
                                                               std::to_string(limit) + " ms)");
    }
}

// P2 (and P2* after "response pending") counts from the end of the request's
// transmission: while a multi-frame request waits for flow control, N_Bs rules.
Bytes CanLink::awaitMessage(IsoTpEndpoint& endpoint, const EcuDescription& ecu, const std::string& what,
                            uint32_t timeoutMs, WireRecord& wire, bool interruptible)
{
    std::optional<Micros> answerBy;
    const size_t ignoredBefore = endpoint.ignoredFrames();
    for (;;) {
        flush(endpoint);
        if (auto message = endpoint.takeMessage()) {
            wire.received = *message;
            return *message;
        }
        const Micros now = nowMicros();
        endpoint.checkTimers(now);
        if (interruptible && interrupted_) {
            throw sessionError(SessionError::Interrupted,
                               "The wait for the answer of ECU '" + ecu.name + "' to '" + what + "' was given up");
        }
        if (endpoint.sent() && !answerBy) answerBy = now + Micros{timeoutMs} * 1000;
        // Once an answer has begun, its frames are timed by N_Cr, not by P2.
        const bool awaiting = answerBy && !endpoint.receiving();
        if (awaiting && now > *answerBy) {
            const size_t ignored = endpoint.ignoredFrames() - ignoredBefore;
            throw sessionError(
                SessionError::NoAnswer,
                "No answer from ECU '" + ecu.name + "' to '" + what + "' (timeout)" +
                    (ignored == 0 ? std::string()
                                  : "; " + std::to_string(ignored) +
                                        " frame(s) out of turn ignored, the last: " + hexText(endpoint.lastIgnored())));
        }
        Micros until = awaiting ? *answerBy + 1 : now + 1000000;
        if (auto event = endpoint.nextEvent()) until = std::min(until, std::max(*event, now));
        // Waits are made in slices, so an interruption is seen soon.
        if (interruptible) until = std::min<Micros>(until, now + 10000);
        const auto deadline = CanBusPort::Clock::now() + std::chrono::microseconds(until - std::min(until, now));
        if (auto frame = port_->read(deadline)) endpoint.receive(*frame, nowMicros());
    }
}

// Between exchanges: a late answer's first frame gets its flow control, so the
// ECU finishes sending and is ready for the next request; what comes whole is
// a late answer and is dropped.
void CanLink::watch()
{
    if (!port_) return;
    while (auto frame = port_->read(CanBusPort::Clock::now())) {
        for (auto& entry : endpoints_) {
            try {
                entry.second.receive(*frame, nowMicros());
            } catch (const Sorvik3::Error&) {
                entry.second.reset();
            }
        }
    }
    for (auto& entry : endpoints_) {
        IsoTpEndpoint& endpoint = entry.second;
        try {
            endpoint.checkTimers(nowMicros());
            flush(endpoint);
        } catch (const Sorvik3::Error&) {
            endpoint.reset();  // a broken late message: the next exchange starts afresh
        }
        while (endpoint.takeMessage()) {
        }
    }
}

Bytes CanLink::transfer(const EcuDescription& ecu, const std::string& what, const Bytes& request, WireRecord& wire)
{
    open();
    IsoTpEndpoint& line = endpoint(ecu);
    line.reset();
    port_->clear();
    wire.sent = request;
    line.send(request, nowMicros());
    try {
        return awaitMessage(line, ecu, what, settings(ecu).p2Max, wire);
    } catch (const Sorvik3::Error&) {
        line.reset();
        throw;
    }
}

void CanLink::startCommunication(const EcuDescription& ecu, WireRecord& wire)
{
    started_[&ecu] = false;
    Bytes answer;
    try {
        answer = transfer(ecu, "StartCommunication", {kStartCommunication}, wire);
    } catch (const Sorvik3::Error& error) {
        if (error.number() != number(SessionError::NoAnswer)) throw;
        throw sessionError(SessionError::NoAnswer, "ECU '" + ecu.name + "' does not answer the start of communication");
    }
    // An ECU that needs no start on CAN says it does not know the service: it is ready all the same.
    const bool notNeeded = answer.size() >= 3 && answer[0] == kNegativeResponse && answer[1] == kStartCommunication &&
                           answer[2] == kServiceNotSupported;
    if (!notNeeded && (answer.empty() || answer[0] != kStartCommunication + kPositiveOffset)) {
        throw sessionError(SessionError::BadFrame,
                           "ECU '" + ecu.name + "' refuses the start of communication: " + hexText(answer));
    }
    started_[&ecu] = true;
}

void CanLink::stopCommunication(const EcuDescription& ecu)
{
    if (!started_[&ecu] || !port_) return;
    started_[&ecu] = false;
    const bool last = std::none_of(started_.begin(), started_.end(), [](const auto& e) { return e.second; });
    WireRecord wire;
    try {
        transfer(ecu, "StopCommunication", {kStopCommunication}, wire);
    } catch (const Sorvik3::Error&) {
        if (last) close();
        throw;
    }
    if (last) close();
}

Bytes CanLink::exchange(const EcuDescription& ecu, const std::string& what, const Bytes& request, WireRecord& wire)
{
    if (!started_[&ecu] || !port_) {
        throw sessionError(SessionError::LinkNotOpen, "Communication with ECU '" + ecu.name + "' is not started");
    }
    interrupted_ = false;
    return transfer(ecu, what, request, wire);
}

Bytes CanLink::nextAnswer(const EcuDescription& ecu, const std::string& what, uint32_t timeoutMs, WireRecord& wire)
{
    if (!port_)
        throw sessionError(SessionError::LinkNotOpen, "Communication with ECU '" + ecu.name + "' is not started");
    return awaitMessage(endpoint(ecu), ecu, what, timeoutMs, wire, true);
}

}  // namespace TavrinKwp
