#include "VehicleRuntime.h"

#include "ErrorNumbers.h"
#include "Kwp2000Codes.h"
#include "OffThreadLink.h"
#include "RequestCodec.h"
#include "SessionClock.h"
#include "Sorvik3.h"

namespace TavrinKwp {

VehicleRuntime::VehicleRuntime(std::shared_ptr<const VehicleDescription> model, OpenedLink link)
    : model_(std::move(model)), link_(std::move(link.link)), peer_(std::move(link.peer)),
      clock_(SessionClock::system()), initialized_(model_->ecus.size(), false), unanswered_(model_->ecus.size()),
      granted_(model_->ecus.size()), unlocked_(model_->ecus.size(), false)
{
    if (peer_) peer_->useClock(clock_);
    offThread_ = dynamic_cast<OffThreadLink*>(link_.get());
}

VehicleRuntime::~VehicleRuntime()
{
    try {
        // Jobs still queued (a stop begun by a control that is gone) use this runtime: they go first.
        if (offThread_) offThread_->drain();
        // A scripted clock may be gone before the session: the last words go on real time.
        setClock(SessionClock::system());
        stopCommunication();
    } catch (...) {
        // Nobody is left to tell: the ECU ends the communication itself after P3max.
    }
}

void VehicleRuntime::setClock(SessionClock clock)
{
    if (peer_) peer_->useClock(clock);
    clock_ = std::move(clock);
}

void VehicleRuntime::post(std::function<void()> job)
{
    if (offThread_) return offThread_->post(std::move(job));
    inlineJobs_.push_back(std::move(job));
    if (runningInline_) return;
    runningInline_ = true;
    while (!inlineJobs_.empty()) {
        auto next = std::move(inlineJobs_.front());
        inlineJobs_.pop_front();
        next();
    }
    runningInline_ = false;
}

bool VehicleRuntime::initialized(size_t ecu) const
{
    std::lock_guard lock(marks_);
    return initialized_[ecu];
}

void VehicleRuntime::init(size_t index)
{
    WireRecord wire;
    link_->startCommunication(model_->ecus[index], wire);
    std::lock_guard lock(marks_);
    initialized_[index] = true;
}

bool VehicleRuntime::communicationStopped() const
{
    std::lock_guard lock(marks_);
    for (bool open : initialized_) {
        if (open) return false;
    }
    return true;
}

void VehicleRuntime::stopCommunication()
{
    // Every ECU is closed, even when one of them fails to answer; the first failure is told.
    std::optional<Sorvik3::Error> failure;
    for (size_t i = 0; i < model_->ecus.size(); ++i) {
        {
            std::lock_guard lock(marks_);
            if (!initialized_[i]) continue;
            initialized_[i] = false;
        }
        try {
            link_->stopCommunication(model_->ecus[i]);
        } catch (const Sorvik3::Error& error) {
            if (!failure) failure = error;
        }
    }
    if (failure) throw *failure;
}

void VehicleRuntime::watchLine(std::function<void(const Sorvik3::Error&)> lost)
{
    if (offThread_) offThread_->onLost(std::move(lost));
}

void VehicleRuntime::interrupt()
{
    interrupted_ = true;
    link_->interrupt();
}

Bytes VehicleRuntime::finalAnswer(const EcuDescription& ecu, const RequestDescription& request, Bytes answer,
                                  WireRecord& wire)
{
    const uint32_t start = clock_.now();
    for (int pending = 0; isResponsePending(answer, request.service); ++pending) {
        if (interrupted_) {
            throw sessionError(SessionError::Interrupted, "The wait for the answer of ECU '" + ecu.name + "' to '" +
                                                              request.name + "' was given up (response pending)");
        }
        if (pending == kMaxPendingAnswers || clock_.now() - start > kPendingLimitMs) {
            throw sessionError(SessionError::TooManyPending,
                               "ECU '" + ecu.name + "' kept answering 'response pending' to '" + request.name + "'");
        }
        answer = link_->nextAnswer(ecu, request.name, link_->pendingTimeout(ecu), wire);
    }
    return answer;
}

void VehicleRuntime::transmit(size_t index, const RequestDescription& request, const Bytes& data, Exchange& exchange)
{
    const EcuDescription& ecu = model_->ecus[index];
    exchange = Exchange{};
    interrupted_ = false;
    if (!initialized(index)) {
        exchange.sentFrame = link_->frame(ecu, data);
        throw sessionError(SessionError::LinkNotOpen, "Communication with ECU '" + ecu.name + "' is not started");
    }
    const bool uds = ecu.protocol == Protocol::Uds;
    // P3max is the K-line's: a UDS ECU's session ends after S3, and the tester must hear of it.
    if (!uds && request.service != kStartDiagnosticSession) reopenSession(index);
    if (uds) {
        try {
            unlockFor(index, request, data);
        } catch (const Sorvik3::Error& error) {
            exchange.sentFrame = link_->frame(ecu, data);
            tellControlReturned(ecu, data, error);
        }
    }
    WireRecord wire;
    try {
        exchange.answer = answerOf(index, request, data, wire);
    } catch (const Sorvik3::Error& error) {
        exchange.sentFrame = wire.sent.empty() ? link_->frame(ecu, data) : std::move(wire.sent);
        exchange.receivedFrame = std::move(wire.received);
        noteUnanswered(index, request, error);
        throw;
    }
    exchange.sentFrame = std::move(wire.sent);
    exchange.receivedFrame = std::move(wire.received);
    if (exchange.answer.empty()) return;  // a request that asked for no positive answer got none
    refuseMaybeLate(index, request, exchange.answer);
    try {
        checkAnswer(ecu.name, request, data, exchange.answer);
    } catch (const Sorvik3::Error& error) {
        if (uds) tellControlReturned(ecu, data, error);
        throw;
    }
    noteExchange(index, request, data, exchange.answer);
}

void VehicleRuntime::noteExchange(size_t index, const RequestDescription& request, const Bytes& data,
                                  const Bytes& answer)
{
    Granted& granted = granted_[index];
    granted.lastExchange = clock_.now();
    if (request.service != kStartDiagnosticSession || answer.empty() || answer[0] == kNegativeResponse) return;
    noteServerTiming(model_->ecus[index], request, answer);
    unlocked_[index] = false;  // a new session locks the ECU again
    granted.request = &request;
    granted.data = data;
}

// A device started in a diagnostic session is stopped in it: after P3max of
// silence (a permanent test that polls nothing) the link starts the
// communication again, and the session is asked for again before the request.
void VehicleRuntime::reopenSession(size_t index)
{
    Granted& granted = granted_[index];
    const EcuDescription& ecu = model_->ecus[index];
    const KLineTiming& timing = ecu.kline.timing;
    if (!granted.request || clock_.now() - granted.lastExchange + timing.p2Max < timing.p3Max) return;
    const RequestDescription& session = *granted.request;
    WireRecord wire;
    try {
        const Bytes answer =
            ownAnswer(ecu, session, granted.data, link_->exchange(ecu, session.name, granted.data, wire), wire);
        checkAnswer(ecu.name, session, granted.data, answer);
    } catch (const Sorvik3::Error& error) {
        throw Sorvik3::Error(error.number(), "After P3max of silence the diagnostic session with ECU '" + ecu.name +
                                                 "' could not be opened again: " + error.description());
    }
    granted.lastExchange = clock_.now();
}

// The ECU may still answer a request it did not answer in time, up to P2* later.
void VehicleRuntime::noteUnanswered(size_t ecu, const RequestDescription& request, const Sorvik3::Error& error)
{
    const auto number = error.number();
    if (number != TavrinKwp::number(SessionError::NoAnswer) && number != TavrinKwp::number(SessionError::Interrupted) &&
        number != TavrinKwp::number(SessionError::TooManyPending))
        return;
    const EcuDescription& model = model_->ecus[ecu];
    unanswered_[ecu] = Unanswered{request.name, request.service, clock_.now(),
                                  std::max(link_->answerTimeout(model), link_->pendingTimeout(model))};
}

// A refusal with the same service as a request left unanswered may be that
// request's late answer: it proves nothing about this one (a start may have
// been acted on), so it is no refusal of this request.
void VehicleRuntime::refuseMaybeLate(size_t ecu, const RequestDescription& request, const Bytes& answer)
{
    auto& earlier = unanswered_[ecu];
    if (!earlier || clock_.now() - earlier->at > earlier->window) {
        earlier.reset();
        return;
    }
    if (answer.size() < 3 || answer[0] != kNegativeResponse || answer[1] != request.service ||
        earlier->service != request.service)
        return;
    throw sessionError(SessionError::MaybeLateAnswer,
                       "Negative response " + hexByte(answer[2]) + " from ECU '" + model_->ecus[ecu].name + "' to '" +
                           request.name + "' may be the late answer to '" + earlier->request +
                           "', left without an answer: it is not taken as this request's");
}

// A late answer to an earlier request may arrive first: it is dropped and this
// request's own answer waited for, a few times at most. If none comes, the
// failure names the answer that was dropped, never takes it as this one's.
Bytes VehicleRuntime::ownAnswer(const EcuDescription& ecu, const RequestDescription& request, const Bytes& data,
                                Bytes answer, WireRecord& wire)
{
    for (int dropped = 0;; ++dropped) {
        answer = finalAnswer(ecu, request, std::move(answer), wire);
        if (answerBelongsTo(request, data, answer) || dropped == kMaxStaleAnswers) return answer;
        const Bytes stale = answer;
        try {
            answer = link_->nextAnswer(ecu, request.name, link_->answerTimeout(ecu), wire);
        } catch (const Sorvik3::Error& error) {
            throw Sorvik3::Error(error.number(),
                                 error.description() + "; an answer to another request was dropped: " + hexText(stale));
        }
    }
}

}  // namespace TavrinKwp
