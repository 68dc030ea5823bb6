#include "KLineEcuServer.h"

#include "Kwp2000Codes.h"
#include "Kwp2000Frame.h"
#include "LoggedRequest.h"
#include "ServingLoop.h"

#include <algorithm>
#include <thread>

namespace TavrinKwp {
namespace {

// A frame that stops arriving for this long is given up.
constexpr auto kFrameGap = std::chrono::milliseconds(100);

}  // namespace

KLineEcuServer::KLineEcuServer(VehicleSimulator& simulator, ByteChannel& channel, EcuServerOptions options,
                               TransportFaults& faults)
    : simulator_(simulator), channel_(channel), options_(std::move(options)), faults_(faults)
{}

void KLineEcuServer::say(const std::string& line) const
{
    if (options_.log) options_.log(line);
}

void KLineEcuServer::run(const std::atomic<bool>& stop)
{
    serveUntilStopped(
        stop, [this] { poll(20); }, [this](const std::string& line) { say(line); }, &faults_.unplugged);
}

void KLineEcuServer::poll(int timeoutMs)
{
    uint8_t buffer[kMaxFrameSize];
    const size_t got = channel_.read(buffer, sizeof buffer, timeoutMs);
    const auto now = std::chrono::steady_clock::now();
    if (got > 0) {
        const Bytes bytes(buffer, buffer + got);
        if (options_.echo && takeOne(faults_.strayZero)) {
            say("a 0x00 before the echo (fault)");
            channel_.write({0x00});
        }
        if (options_.echo) channel_.write(bytes);
        received_.insert(received_.end(), bytes.begin(), bytes.end());
        lastByte_ = now;
    } else if (!received_.empty() && now - lastByte_ > kFrameGap) {
        say("incomplete frame dropped: " + hexText(received_));
        received_.clear();
    }
    parse();
}

void KLineEcuServer::parse()
{
    while (!received_.empty()) {
        const auto size = frameSize(received_.data(), received_.size());
        if (size && *size == 0) {
            say("stray byte dropped: " + hexText({received_.front()}));
            received_.erase(received_.begin());
            continue;
        }
        if (!size || received_.size() < *size) return;
        const Bytes frame(received_.begin(), received_.begin() + static_cast<long>(*size));
        received_.erase(received_.begin(), received_.begin() + static_cast<long>(*size));
        take(frame);
    }
}

void KLineEcuServer::take(const Bytes& bytes)
{
    const auto frame = decodeFrame(bytes);
    if (!frame) {
        say("bad checksum, frame ignored: " + hexText(bytes));
        return;
    }
    std::optional<size_t> index = frame->addressed ? simulator_.ecuAt(frame->target) : lastStarted_;
    if (!index) {
        say((frame->addressed ? "no ECU at address " + hexByte(frame->target) : std::string("no ECU started")) +
            ", frame ignored: " + hexText(bytes));
        return;
    }
    const EcuDescription& ecu = simulator_.model().ecus[*index];
    say(ecu.name + " <- " + loggedRequest(frame->data));
    std::this_thread::sleep_for(std::chrono::milliseconds(ecu.kline.timing.p2Min));
    bool answered = false;
    simulator_.serve(*index, frame->data, [&](const Bytes& data) {
        answer(ecu, encodeFrame(Frame{frame->source, ecu.address, data, frame->addressed}));
        answered = true;
    });
    if (!answered) say(ecu.name + " stays silent");
    if (answered && frame->data.front() == kStartCommunication) lastStarted_ = index;
}

void KLineEcuServer::answer(const EcuDescription& ecu, Bytes frame)
{
    if (takeOne(faults_.late)) {
        const int late = faults_.lateByMs.load();
        say(ecu.name + " answers " + std::to_string(late) + " ms past P2max (fault)");
        const int wait = static_cast<int>(ecu.kline.timing.p2Max) - static_cast<int>(ecu.kline.timing.p2Min) + late;
        std::this_thread::sleep_for(std::chrono::milliseconds(std::max(wait, 0)));
    }
    if (takeOne(faults_.garbage)) {
        const Bytes noise{0x8A, 0x13, 0xFF, 0x00, 0x55, 0xC7, 0x21};
        say(ecu.name + " -> noise " + hexText(noise) + " (fault)");
        channel_.write(noise);
    }
    if (takeOne(faults_.corrupt)) {
        frame.back() ^= 0x5A;
        say(ecu.name + " spoils the checksum (fault)");
    }
    channel_.write(frame);
    say(ecu.name + " -> " + hexText(frame));
}

}  // namespace TavrinKwp
