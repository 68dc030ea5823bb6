#include "ElmLink.h"

#include "ElmReplies.h"
#include "ErrorNumbers.h"
#include "Kwp2000Codes.h"
#include "Kwp2000Frame.h"
#include "SerialPortOpen.h"
#include "Sorvik3.h"

#include <QSerialPort>

#include <algorithm>
#include <cstdio>
#include <regex>
#include <thread>

namespace TavrinKwp {
namespace {

using std::chrono::milliseconds;

// A reset (ATZ) takes about a second on the chips; clones take longer.
constexpr uint32_t kResetQuietMs = 3000;
// How long a serial rate is given to bring a prompt.
constexpr int kProbeMs = 300;
// Waits are made in slices this long, so an interruption is seen soon.
constexpr int kWaitSlice = 10;
// A reply longer than this is no adapter's: the link gives up on it.
constexpr size_t kReplyLimit = 64 * 1024;

bool pendingAnswer(const std::string& line)
{
    static const std::regex pending("7F[0-9A-F]{2}78");
    std::string digits;
    std::copy_if(line.begin(), line.end(), std::back_inserter(digits), [](char c) { return c != ' '; });
    return std::regex_search(digits, pending);
}

}  // namespace

ElmLink::ElmLink(std::string name, ElmOptions options) : name_(std::move(name)), options_(std::move(options))
{}

ElmLink::~ElmLink() = default;

bool ElmLink::usesCan(const EcuDescription& ecu) const
{
    if (options_.protocol == ElmOptions::Protocol::KLine) return false;
    return ecu.can.has_value();
}

uint32_t ElmLink::answerTimeout(const EcuDescription& ecu) const
{
    if (auto timing = serverTiming(ecu)) return timing->first;
    return usesCan(ecu) ? ecu.can->p2Max : ecu.kline.timing.p2Max;
}

uint32_t ElmLink::pendingTimeout(const EcuDescription& ecu) const
{
    if (auto timing = serverTiming(ecu)) return timing->second;
    return usesCan(ecu) ? ecu.can->p2Extended : ecu.kline.timing.p2Extended;
}

Bytes ElmLink::frame(const EcuDescription& ecu, const Bytes& request) const
{
    // On CAN the adapter sends the service bytes as ISO-TP; on the K-line it
    // puts the header from ATSH (the length in the format byte) and the checksum around them.
    if (usesCan(ecu)) return request;
    return encodeFrame(Frame{ecu.address, ecu.testerAddress, request});
}

Bytes ElmLink::received(const EcuDescription& ecu, const Bytes& answer) const
{
    // The K-line frame as the adapter printed it (its checksum was checked); on CAN the message.
    if (usesCan(ecu)) return answer;
    return encodeFrame(Frame{ecu.testerAddress, ecu.address, answer});
}

void ElmLink::write(const std::string& text)
{
    if (port_->write(text.data(), static_cast<qint64>(text.size())) != static_cast<qint64>(text.size()) ||
        !port_->waitForBytesWritten(1000)) {
        adapterGone("could not be written to (" + port_->errorString().toStdString() + ")");
    }
}

void ElmLink::adapterGone(const std::string& why)
{
    close();
    // Until the next start, every request is told why it cannot go out.
    lost_ = "The adapter on '" + options_.port + "' " + why +
            ": check that it is still plugged in and powered, then connect again";
    throw sessionError(SessionError::LinkUnavailable, lost_);
}

void ElmLink::watch()
{
    if (!port_ || !port_->isOpen()) return;
    port_->waitForReadyRead(0);
    if (port_->error() == QSerialPort::ResourceError || port_->error() == QSerialPort::ReadError)
        adapterGone("was lost between requests (" + port_->errorString().toStdString() + ")");
}

std::optional<std::string> ElmLink::readToPrompt(const std::string& line, uint32_t quietMs, Silence silence)
{
    // What came before the command belongs to no reply.
    port_->waitForReadyRead(0);
    port_->readAll();
    write(line + "\r");
    std::string text;
    auto lastByte = Clock::now();
    uint32_t quiet = quietMs;
    bool stopSent = false;
    size_t checkedUpTo = 0;
    for (;;) {
        const QByteArray got = port_->readAll();
        if (!got.isEmpty()) {
            lastByte = Clock::now();
            text.append(got.constData(), static_cast<size_t>(got.size()));
            // Text without end (a chip left monitoring the bus, noise) never counts as quiet: it is cut off here.
            if (text.size() > kReplyLimit && text.find('>') == std::string::npos) {
                write("\r");
                adapterGone("sends more than " + std::to_string(kReplyLimit / 1024) + " KB without a prompt after '" +
                            line + "'");
            }
            const auto prompt = text.find('>');
            if (prompt != std::string::npos) {
                text.resize(prompt);
                break;
            }
            // After "response pending" the ECU may take P2* for its answer.
            const auto lineEnd = text.find_last_of('\r');
            if (lineEnd != std::string::npos && lineEnd > checkedUpTo) {
                if (pendingAnswer(text.substr(checkedUpTo, lineEnd - checkedUpTo))) {
                    quiet = std::max(quiet, static_cast<uint32_t>(kAdapterSlackMs) + pendingTimeoutMs_);
                    interruptible_ = true;
                }
                checkedUpTo = lineEnd;
            }
            continue;
        }
        if (interruptible_ && interrupted_ && !stopSent) {
            // Any character ends the adapter's wait; it then says STOPPED and prompts.
            write("\r");
            stopSent = true;
        }
        if (Clock::now() - lastByte > milliseconds(quiet)) {
            if (silence == Silence::MayMeanUnknown && text.empty()) return std::nullopt;
            adapterGone("stopped answering (no prompt within " + std::to_string(quiet) + " ms after '" + line + "')");
        }
        if (!port_->waitForReadyRead(kWaitSlice) &&
            (port_->error() == QSerialPort::ResourceError || port_->error() == QSerialPort::ReadError)) {
            adapterGone("was lost (" + port_->errorString().toStdString() + ")");
        }
    }
    interruptible_ = false;
    if (stopSent) {
        throw sessionError(SessionError::Interrupted, "The wait for an answer on '" + options_.port + "' was given up");
    }
    return text;
}

std::vector<std::string> ElmLink::command(const std::string& line, uint32_t quietMs)
{
    // Without MayMeanUnknown a silent adapter throws: there is always a reply.
    return replyLines(*readToPrompt(line, quietMs), line);
}

bool ElmLink::set(const std::string& line, bool required)
{
    const auto lines = command(line, kAdapterSlackMs);
    const bool ok = !lines.empty() && lines.back() == "OK";
    if (ok) return true;
    const std::string said = lines.empty() ? std::string("nothing") : "'" + lines.back() + "'";
    if (required) {
        throw sessionError(SessionError::LinkUnavailable,
                           "The adapter on '" + options_.port + "' (" + identity_.identity + ") refuses '" + line +
                               "' (it answers " + said + "): a clone that lacks this command cannot be used here");
    }
    if (std::find(refused_.begin(), refused_.end(), line) == refused_.end()) refused_.push_back(line);
    return false;
}

void ElmLink::open()
{
    if (port_) return;
    port_ = std::make_unique<QSerialPort>();
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
    const std::vector<uint32_t> rates =
        options_.baud > 0 ? std::vector<uint32_t>{options_.baud} : std::vector<uint32_t>{38400, 115200, 9600, 500000};
    const auto found = std::find_if(rates.begin(), rates.end(), [this](uint32_t baud) { return answersAt(baud); });
    if (found == rates.end()) {
        std::string tried;
        for (uint32_t baud : rates)
            tried += (tried.empty() ? "" : ", ") + std::to_string(baud);
        close();
        throw sessionError(SessionError::LinkUnavailable,
                           "No ELM327-compatible adapter answers on '" + options_.port + "' at " + tried +
                               " baud: is this the adapter's port, and is the adapter powered?");
    }
    identity_ = ElmIdentity{};
    identity_.baud = *found;
    try {
        reset();
    } catch (...) {
        close();
        throw;
    }
}

bool ElmLink::answersAt(uint32_t baud)
{
    port_->setBaudRate(static_cast<qint32>(baud));
    port_->clear();
    return promptsAfterProbe();
}

bool ElmLink::promptsAfterProbe()
{
    // Not a bare return: that repeats the adapter's last command, which may have driven a device.
    const char probe[] = "ATI\r";
    port_->write(probe, sizeof probe - 1);
    port_->waitForBytesWritten(kProbeMs);
    std::string text;
    const auto until = Clock::now() + milliseconds(kProbeMs);
    while (Clock::now() < until) {
        port_->waitForReadyRead(kWaitSlice);
        const QByteArray got = port_->readAll();
        text.append(got.constData(), static_cast<size_t>(got.size()));
        if (text.find('>') != std::string::npos) return true;
        if (text.size() > 256) return false;
    }
    return false;
}

void ElmLink::reset()
{
    const auto greeting = command("ATZ", kResetQuietMs);
    set("ATE0");
    set("ATL0", false);
    set("ATS0", false);
    set("ATH1");
    const auto identity = command("ATI", kAdapterSlackMs);
    identity_.identity =
        identity.empty() ? (greeting.empty() ? std::string("unknown") : greeting.back()) : identity.back();
    const auto device = command("STI", kAdapterSlackMs);
    // A clone found out once (it refused STPX) is not believed again after a reset.
    if (!device.empty() && !adapterProblem(device.back()) && identity_.claimedDevice.empty())
        identity_.device = device.back();
    configured_ = nullptr;
}

void ElmLink::close()
{
    if (port_) port_->close();
    port_.reset();
    configured_ = nullptr;
    started_.clear();
    waiting_.clear();
}

void ElmLink::startCommunication(const EcuDescription& ecu, WireRecord& wire)
{
    started_.erase(std::remove(started_.begin(), started_.end(), &ecu), started_.end());
    open();
    lost_.clear();
    configure(ecu);
    wire.sent = frame(ecu, {kStartCommunication});
    std::vector<std::string> lines;
    if (!usesCan(ecu)) {
        // The adapter's fast initialisation sends StartCommunication itself.
        // The bus must be idle for W5 (300 ms) before the pattern: the chip takes its time.
        lines = command("ATFI", kResetQuietMs);
        const bool refused = !lines.empty() && lines.back() == "?";
        if (!refused) {
            for (const auto& line : lines) {
                if (const auto problem = adapterProblem(line)) {
                    // Silence is said as every link says it; the adapter's other complaints in its words.
                    const std::string start = "ECU '" + ecu.name + "' does not answer the start of communication";
                    if (problem->error == SessionError::NoAnswer) throw sessionError(SessionError::NoAnswer, start);
                    throw sessionError(problem->error, start + ": " + problem->words);
                }
            }
            started_.push_back(&ecu);
            return;
        }
        // An older chip has no ATFI: the first message starts the line.
    }
    Bytes answer;
    try {
        pendingTimeoutMs_ = pendingTimeout(ecu);
        answer = answersIn(ecu, "StartCommunication", sendRequest(ecu, {kStartCommunication})).front();
    } catch (const Sorvik3::Error& error) {
        if (error.number() != number(SessionError::NoAnswer)) throw;
        throw sessionError(SessionError::NoAnswer, "ECU '" + ecu.name + "' does not answer the start of communication");
    }
    wire.received = received(ecu, answer);
    // An ECU that needs no start on CAN (a UDS one) says it does not know the service: it is ready all the same.
    const bool notNeeded = usesCan(ecu) && answer.size() >= 3 && answer[0] == kNegativeResponse &&
                           answer[1] == kStartCommunication && answer[2] == kServiceNotSupported;
    if (notNeeded) {
        started_.push_back(&ecu);
        return;
    }
    if (answer.empty() || answer[0] != kStartCommunication + kPositiveOffset) {
        throw sessionError(SessionError::BadFrame,
                           "ECU '" + ecu.name + "' refuses the start of communication: " + hexText(answer));
    }
    started_.push_back(&ecu);
}

void ElmLink::stopCommunication(const EcuDescription& ecu)
{
    const auto found = std::find(started_.begin(), started_.end(), &ecu);
    if (found == started_.end() || !port_) return;
    started_.erase(found);
    configure(ecu);
    answersIn(ecu, "StopCommunication", sendRequest(ecu, {kStopCommunication}));
}

Bytes ElmLink::exchange(const EcuDescription& ecu, const std::string& what, const Bytes& request, WireRecord& wire)
{
    if (!port_ && !lost_.empty()) throw sessionError(SessionError::LinkUnavailable, lost_);
    if (!port_ || std::find(started_.begin(), started_.end(), &ecu) == started_.end())
        throw sessionError(SessionError::LinkNotOpen, "Communication with ECU '" + ecu.name + "' is not started");
    configure(ecu);
    waiting_.clear();
    interrupted_ = false;
    pendingTimeoutMs_ = pendingTimeout(ecu);
    wire.sent = frame(ecu, request);
    const bool multiFrame = usesCan(ecu) && request.size() > 7;
    const auto lines = multiFrame ? sendLongRequest(ecu, request) : sendRequest(ecu, request);
    auto answers = answersIn(ecu, what, lines);
    waiting_.assign(answers.begin() + 1, answers.end());
    wire.received = received(ecu, answers.front());
    return answers.front();
}

Bytes ElmLink::nextAnswer(const EcuDescription& ecu, const std::string& what, uint32_t, WireRecord& wire)
{
    // The adapter waits through "response pending" itself and prints every answer before its prompt.
    if (waiting_.empty())
        throw sessionError(SessionError::NoAnswer, "No answer from ECU '" + ecu.name + "' to '" + what + "' (timeout)");
    const Bytes answer = waiting_.front();
    waiting_.pop_front();
    wire.received = received(ecu, answer);
    return answer;
}

std::vector<std::string> ElmLink::sendRequest(const EcuDescription& ecu, const Bytes& request)
{
    return command(compactHex(request), answerTimeout(ecu) + kAdapterSlackMs);
}

std::vector<std::string> ElmLink::sendLongRequest(const EcuDescription& ecu, const Bytes& request)
{
    const uint32_t quiet = answerTimeout(ecu) + kAdapterSlackMs;
    // An STN chip sends a long message whole, flow control included.
    if (identity_.stn()) {
        const std::string line = "STPX D:" + compactHex(request);
        // A clone that names itself an STN but does not know STPX sent nothing: it
        // answers "?", or nothing at all and then still answers a harmless probe.
        if (const auto reply = readToPrompt(line, quiet, Silence::MayMeanUnknown)) {
            auto lines = replyLines(*reply, line);
            if (lines.empty() || lines.back() != "?") return lines;
        } else if (!promptsAfterProbe()) {
            adapterGone("stopped answering (no prompt within " + std::to_string(quiet) + " ms after 'STPX')");
        }
        takeForClone("STPX");
    }
    return sendFramesByHand(ecu, request);
}

// From now on the adapter is driven as a plain ELM327, and the adapter check says so.
void ElmLink::takeForClone(const std::string& refusedCommand)
{
    identity_.claimedDevice = std::exchange(identity_.device, std::string());
    if (std::find(refused_.begin(), refused_.end(), refusedCommand) == refused_.end())
        refused_.push_back(refusedCommand);
}

std::vector<Bytes> ElmLink::answersIn(const EcuDescription& ecu, const std::string& what,
                                      const std::vector<std::string>& lines)
{
    bool silent = false;
    for (const auto& line : lines) {
        const auto problem = adapterProblem(line);
        if (!problem) continue;
        // NO DATA after frames that did come (a long request's steps) only ends the reply.
        if (line == "NO DATA") {
            silent = true;
            continue;
        }
        const std::string text = "'" + what + "' to ECU '" + ecu.name + "' through the adapter on '" + options_.port +
                                 "': " + problem->words;
        // An adapter that reset itself or fell asleep has lost its settings: it is set up anew at the next start.
        if (line.rfind("LV RESET", 0) == 0 || line.rfind("ACT ALERT", 0) == 0) {
            close();
            lost_ = text;
        }
        throw sessionError(problem->error, text);
    }
    std::vector<Bytes> answers;
    if (usesCan(ecu)) {
        std::vector<ElmCanFrame> frames;
        for (const auto& line : lines) {
            if (line == "NO DATA") continue;
            const auto frame = canFrameLine(line, ecu.can->extendedIds);
            if (!frame)
                throw sessionError(SessionError::BadFrame, "The adapter on '" + options_.port + "' answers '" + line +
                                                               "' to '" + what + "': no CAN frame");
            frames.push_back(*frame);
        }
        answers = canMessages(frames, ecu.can->responseId);
    } else {
        std::vector<std::string> data;
        std::copy_if(lines.begin(), lines.end(), std::back_inserter(data),
                     [](const std::string& line) { return line != "NO DATA" && line.rfind("BUS INIT", 0) != 0; });
        answers = klineMessages(data, ecu.address, ecu.testerAddress);
    }
    if (answers.empty()) {
        throw sessionError(SessionError::NoAnswer, "No answer from ECU '" + ecu.name + "' to '" + what + "' (timeout)" +
                                                       (silent ? std::string() : " (the adapter printed nothing)"));
    }
    return answers;
}

}  // namespace TavrinKwp
