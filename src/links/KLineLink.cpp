#include "KLineLink.h"

#include "ErrorNumbers.h"
#include "Kwp2000Codes.h"
#include "SerialPortOpen.h"
#include "Sorvik3.h"

#include <QSerialPort>

#include <algorithm>
#include <thread>

namespace TavrinKwp {
namespace {

using std::chrono::milliseconds;

// The wake-up pattern of fast initialisation: the line low, then high, 25 ms each.
constexpr milliseconds kWakeUpLow{25};
constexpr milliseconds kWakeUpHigh{25};
// The echo of a byte comes back within its own time on the wire; this is the slack on top.
constexpr milliseconds kEchoSlack{100};
// At most two frames are held while one is looked for: a byte stream of any length stays bounded.
constexpr size_t kReceiveLimit = 2 * kMaxFrameSize;
// Waits are made in slices this long, so an interruption is seen soon.
constexpr long long kWaitSlice = 10;
// A line that never falls quiet for P3min within this is given up on.
constexpr milliseconds kSettleLimit{1000};

milliseconds wireTime(size_t bytes, uint32_t baud)
{
    // Ten bits a byte: start, eight data bits, stop.
    return milliseconds(1 + bytes * 10 * 1000 / std::max<uint32_t>(baud, 1));
}

}  // namespace

KLineLink::KLineLink(std::string name, KLineOptions options)
    : name_(std::move(name)), options_(std::move(options)), silenceClock_([] {
          return static_cast<uint32_t>(
              std::chrono::duration_cast<milliseconds>(Clock::now().time_since_epoch()).count());
      })
{}

KLineLink::~KLineLink() = default;

std::string KLineLink::where(const EcuDescription& ecu) const
{
    return "ECU '" + ecu.name + "' on '" + options_.port + "'";
}

void KLineLink::open(const EcuDescription& ecu)
{
    const uint32_t baud = options_.baud > 0 ? options_.baud : ecu.kline.baud;
    if (!port_) {
        port_ = std::make_unique<QSerialPort>();
        port_->setReadBufferSize(static_cast<qint64>(kReceiveLimit));
        try {
            openSerialPort(*port_, options_.port);
        } catch (...) {
            port_.reset();
            throw;
        }
        port_->setDataBits(QSerialPort::Data8);
        port_->setParity(QSerialPort::NoParity);
        port_->setStopBits(QSerialPort::OneStop);
        port_->setFlowControl(QSerialPort::NoFlowControl);
    }
    port_->setBaudRate(static_cast<qint32>(baud));
}

void KLineLink::close()
{
    if (port_) port_->close();
    port_.reset();
    received_.clear();
}

void KLineLink::wakeUp()
{
    port_->setBreakEnabled(true);
    std::this_thread::sleep_for(kWakeUpLow);
    port_->setBreakEnabled(false);
    std::this_thread::sleep_for(kWakeUpHigh);
    // The pattern's own echo (a 0x00 or a framing error) is expected, not stray.
    port_->waitForReadyRead(0);
    port_->readAll();
    received_.clear();
    lastByte_ = Clock::now();
}

Bytes KLineLink::frame(const EcuDescription& ecu, const Bytes& request) const
{
    const auto found = ecus_.find(&ecu);
    const HeaderForm form = found == ecus_.end() ? HeaderForm{} : found->second.form;
    return encodeFrame(Frame{ecu.address, ecu.testerAddress, request}, form);
}

void KLineLink::dropWaiting()
{
    // What the system still holds for the port counts too, not only what was read from it.
    for (int round = 0; round < 64; ++round) {
        port_->waitForReadyRead(0);
        const qint64 waiting = port_->bytesAvailable();
        if (waiting <= 0) break;
        // They arrived some time since the last look: the line was busy until now.
        stray_ += static_cast<size_t>(waiting);
        port_->readAll();
        lastByte_ = Clock::now();
    }
    stray_ += received_.size();
    received_.clear();
}

void KLineLink::portLost(const std::string& when)
{
    const std::string reason = port_ ? port_->errorString().toStdString() : std::string("closed");
    close();
    for (auto& [ecu, state] : ecus_)
        state.started = false;
    // Until the next start, every request is told the real cause, not that nothing was started.
    lost_ = "Serial port '" + options_.port + "' was lost " + when + " (" + reason +
            "): check that the interface is still plugged in, then connect again";
    throw sessionError(SessionError::LinkUnavailable, lost_);
}

void KLineLink::watch()
{
    if (!port_ || !port_->isOpen()) return;
    // A look at the line is enough for the system to tell an unplugged interface.
    port_->waitForReadyRead(0);
    const auto error = port_->error();
    if (error == QSerialPort::ResourceError || error == QSerialPort::ReadError) portLost("between requests");
}

bool KLineLink::fill(Clock::time_point until)
{
    for (;;) {
        const qint64 waiting = port_->bytesAvailable();
        if (waiting > 0) {
            const size_t room = kReceiveLimit - received_.size();
            const size_t take = std::min(room, static_cast<size_t>(waiting));
            const size_t at = received_.size();
            received_.resize(at + take);
            const qint64 got = port_->read(reinterpret_cast<char*>(received_.data() + at), static_cast<qint64>(take));
            received_.resize(at + static_cast<size_t>(std::max<qint64>(got, 0)));
            lastByte_ = Clock::now();
            return true;
        }
        const auto left = std::chrono::ceil<milliseconds>(until - Clock::now()).count();
        if (left <= 0) return false;
        if (interruptible_ && interrupted_) {
            throw sessionError(SessionError::Interrupted,
                               "The wait for an answer on '" + options_.port + "' was given up");
        }
        if (!port_->waitForReadyRead(static_cast<int>(std::min<long long>(left, kWaitSlice))) && !port_->isOpen()) {
            portLost("while reading");
        }
        const auto error = port_->error();
        if (error == QSerialPort::ResourceError || error == QSerialPort::ReadError) portLost("while reading");
    }
}

void KLineLink::settle(const EcuDescription& ecu)
{
    const auto quiet = milliseconds(ecu.kline.timing.p3Min);
    const auto giveUpAt = Clock::now() + quiet + kSettleLimit;
    for (;;) {
        dropWaiting();
        const auto until = lastByte_ + quiet;
        if (Clock::now() >= until || !fill(until)) return;
        if (Clock::now() > giveUpAt) {
            dropWaiting();
            throw sessionError(SessionError::BusCollision,
                               "The line to " + where(ecu) + " is never quiet for P3min (" +
                                   std::to_string(ecu.kline.timing.p3Min) +
                                   " ms): bytes keep arriving (another tester or a faulty interface "
                                   "on the line?)");
        }
    }
}

void KLineLink::write(const Bytes& bytes)
{
    const qint64 wrote = port_->write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    port_->waitForBytesWritten(1000);
    const auto error = port_->error();
    if (wrote < 0 || error == QSerialPort::ResourceError || error == QSerialPort::WriteError) portLost("while sending");
    lastByte_ = Clock::now();
}

void KLineLink::send(const EcuDescription& ecu, const Bytes& bytes, bool afterWakeUp)
{
    // Whatever is still on the line (a late, cut or garbled answer, noise) is
    // no answer to this request: the line rests P3min after its last byte.
    if (!afterWakeUp) settle(ecu);
    const KLineTiming& timing = ecu.kline.timing;
    if (timing.p4Min == 0) {
        write(bytes);
    } else {
        for (size_t i = 0; i < bytes.size(); ++i) {
            if (i > 0) std::this_thread::sleep_for(milliseconds(timing.p4Min));
            write({bytes[i]});
        }
    }
    if (options_.echo) readEcho(ecu, bytes, afterWakeUp);
}

void KLineLink::readEcho(const EcuDescription& ecu, const Bytes& sent, bool afterWakeUp)
{
    const auto until = Clock::now() + wireTime(sent.size(), port_->baudRate()) + kEchoSlack;
    for (;;) {
        // A single-wire interface reads the wake-up pattern's low back as a 0x00
        // (or a framing error), which may come just before the echo.
        while (afterWakeUp && sent.front() != 0 && !received_.empty() && received_.front() == 0)
            received_.erase(received_.begin());
        if (received_.size() >= sent.size() || !fill(until)) break;
    }
    const size_t got = std::min(received_.size(), sent.size());
    const Bytes echo(received_.begin(), received_.begin() + static_cast<long>(got));
    received_.erase(received_.begin(), received_.begin() + static_cast<long>(got));
    if (echo != sent) {
        throw sessionError(SessionError::BusCollision,
                           "Bus collision while sending to " + where(ecu) + ": sent " + hexText(sent) + ", read back " +
                               (echo.empty() ? "nothing (is the interface a single-wire K-line "
                                               "one that echoes? else connect with echo=0)"
                                             : hexText(echo)));
    }
}

Bytes KLineLink::readFrame(const EcuDescription& ecu, const std::string& what, uint32_t timeoutMs, WireRecord& wire)
{
    const auto deadline = Clock::now() + milliseconds(timeoutMs);
    const auto interByte = milliseconds(std::max<uint32_t>(ecu.kline.timing.p1Max, 1));
    for (;;) {
        while (!received_.empty()) {
            const auto size = frameSize(received_.data(), received_.size());
            if (size && *size == 0) {
                ++stray_;
                received_.erase(received_.begin());
                continue;
            }
            if (!size || received_.size() < *size) break;
            const Bytes bytes(received_.begin(), received_.begin() + static_cast<long>(*size));
            received_.erase(received_.begin(), received_.begin() + static_cast<long>(*size));
            wire.received = bytes;
            const auto frame = decodeFrame(bytes);
            if (!frame) {
                throw sessionError(SessionError::BadFrame, "Wrong checksum in the answer of " + where(ecu) + " to '" +
                                                               what + "': " + hexText(bytes));
            }
            if (frame->addressed && (frame->source != ecu.address || frame->target != ecu.testerAddress)) {
                throw sessionError(SessionError::BadFrame, "Answer to '" + what + "' from address " +
                                                               hexByte(frame->source) + " to " +
                                                               hexByte(frame->target) + ", not from " + where(ecu) +
                                                               " (" + hexByte(ecu.address) + "): " + hexText(bytes));
            }
            ecus_[&ecu].lastAnswer = silenceClock_();
            return frame->data;
        }
        // A frame begun is given P1max between its bytes, even past the answer's deadline.
        const auto until = received_.empty() ? deadline : lastByte_ + interByte;
        if (!fill(until)) break;
    }
    if (!received_.empty()) {
        const Bytes partial = received_;
        stray_ += received_.size();
        received_.clear();
        wire.received = partial;
        throw sessionError(SessionError::BadFrame, "Incomplete answer of " + where(ecu) + " to '" + what +
                                                       "' (length wrong): " + hexText(partial));
    }
    // An answer given up on may still be on its way: the line counts as busy until now.
    lastByte_ = Clock::now();
    throw sessionError(SessionError::NoAnswer, "No answer from ECU '" + ecu.name + "' to '" + what + "' (timeout)");
}

void KLineLink::startCommunication(const EcuDescription& ecu, WireRecord& wire)
{
    ecus_[&ecu] = EcuState{};
    open(ecu);
    lost_.clear();
    settle(ecu);
    wakeUp();
    const Bytes start = encodeFrame(Frame{ecu.address, ecu.testerAddress, {kStartCommunication}});
    wire.sent = start;
    send(ecu, start, true);
    Bytes answer;
    try {
        answer = readFrame(ecu, "StartCommunication", ecu.kline.timing.p2Max, wire);
    } catch (const Sorvik3::Error& error) {
        if (error.number() != number(SessionError::NoAnswer)) throw;
        throw sessionError(SessionError::NoAnswer, "ECU '" + ecu.name + "' does not answer the start of communication");
    }
    if (answer.size() < 3 || answer[0] != kStartCommunication + kPositiveOffset) {
        throw sessionError(SessionError::BadFrame,
                           "ECU '" + ecu.name + "' refuses the start of communication: " + hexText(answer));
    }
    ecus_[&ecu] = EcuState{true, headerFormFromKeyByte(answer[1]), silenceClock_()};
}

void KLineLink::stopCommunication(const EcuDescription& ecu)
{
    auto found = ecus_.find(&ecu);
    if (found == ecus_.end() || !found->second.started || !port_) return;
    found->second.started = false;
    const bool last = std::none_of(ecus_.begin(), ecus_.end(), [](const auto& e) { return e.second.started; });
    WireRecord wire;
    try {
        send(ecu, frame(ecu, {kStopCommunication}));
        readFrame(ecu, "StopCommunication", ecu.kline.timing.p2Max, wire);
    } catch (const Sorvik3::Error&) {
        if (last) close();
        throw;
    }
    if (last) close();
}

Bytes KLineLink::exchange(const EcuDescription& ecu, const std::string& what, const Bytes& request, WireRecord& wire)
{
    auto found = ecus_.find(&ecu);
    if (!port_ && !lost_.empty()) throw sessionError(SessionError::LinkUnavailable, lost_);
    if (found == ecus_.end() || !found->second.started || !port_) {
        throw sessionError(SessionError::LinkNotOpen, "Communication with ECU '" + ecu.name + "' is not started");
    }
    const KLineTiming& timing = ecu.kline.timing;
    // Near P3max of silence the ECU ends the communication: start it again first.
    if (silenceClock_() - found->second.lastAnswer + timing.p2Max >= timing.p3Max) {
        WireRecord restart;
        startCommunication(ecu, restart);
    }
    interrupted_ = false;
    wire.sent = frame(ecu, request);
    // While the line falls quiet, nothing is sent yet: a more urgent request may take its turn.
    interruptible_ = true;
    try {
        settle(ecu);
    } catch (const Sorvik3::Error& error) {
        interruptible_ = false;
        if (error.number() != number(SessionError::Interrupted)) throw;
        throw sessionError(SessionError::Interrupted, "'" + what + "' to ECU '" + ecu.name +
                                                          "' not sent: given up for a more "
                                                          "urgent request");
    }
    interruptible_ = false;
    awaitOwedAnswer(ecu);
    send(ecu, wire.sent);
    return readFrame(ecu, what, timing.p2Max, wire);
}

// The ECU answers a request it said "response pending" to within P2* of its
// last word: a request sent before would collide with that answer on the line.
// Its answers are read and dropped until the final one, or P2* of silence; then
// the line falls quiet for P3min as before any request.
void KLineLink::awaitOwedAnswer(const EcuDescription& ecu)
{
    if (!std::exchange(answerOwed_, false)) return;
    const uint32_t wait = std::max(ecu.kline.timing.p2Extended, ecu.kline.timing.p2Max);
    // A cut or garbled frame may have been one more "pending": only P2* of silence
    // proves the ECU is done (a line that never stops chattering is given up on).
    for (int garbled = 0; garbled < kMaxGarbledWhileOwed;) {
        WireRecord dropped;
        Bytes answer;
        try {
            answer = readFrame(ecu, "the answer given up", wait, dropped);
        } catch (const Sorvik3::Error& error) {
            if (error.number() == number(SessionError::NoAnswer)) break;
            ++garbled;
            continue;
        }
        if (!(answer.size() >= 3 && answer[0] == kNegativeResponse && answer[2] == kResponsePending)) break;
    }
    settle(ecu);
}

Bytes KLineLink::nextAnswer(const EcuDescription& ecu, const std::string& what, uint32_t timeoutMs, WireRecord& wire)
{
    if (!port_ && !lost_.empty()) throw sessionError(SessionError::LinkUnavailable, lost_);
    if (!port_)
        throw sessionError(SessionError::LinkNotOpen, "Communication with ECU '" + ecu.name + "' is not started");
    interruptible_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{interruptible_};
    try {
        return readFrame(ecu, what, timeoutMs, wire);
    } catch (const Sorvik3::Error& error) {
        if (error.number() == number(SessionError::Interrupted)) answerOwed_ = true;
        throw;
    }
}

}  // namespace TavrinKwp
