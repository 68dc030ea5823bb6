#include "CanEcuServer.h"

#include "CanLink.h"
#include "LoggedRequest.h"
#include "ServingLoop.h"
#include "Sorvik3.h"

#include <thread>

namespace TavrinKwp {

CanEcuServer::CanEcuServer(VehicleSimulator& simulator, CanBusPort& port, EcuServerOptions options,
                           TransportFaults& faults)
    : simulator_(simulator), port_(port), options_(std::move(options)), faults_(faults)
{
    const auto& ecus = simulator_.model().ecus;
    for (size_t i = 0; i < ecus.size(); ++i) {
        if (ecus[i].can) ends_.push_back({i, IsoTpEndpoint(isoTpSettings(ecus[i], true))});
    }
}

void CanEcuServer::say(const std::string& line) const
{
    if (options_.log) options_.log(line);
}

void CanEcuServer::run(const std::atomic<bool>& stop)
{
    serveUntilStopped(
        stop, [this] { poll(20); }, [this](const std::string& line) { say(line); });
}

void CanEcuServer::flush(EcuEnd& end)
{
    const std::string& name = simulator_.model().ecus[end.index].name;
    for (CanFrame& frame : end.endpoint.takeDue(nowMicros())) {
        const uint8_t kind = frame.data.empty() ? 0 : frame.data[0] >> 4;
        if (kind == 3 && (frame.data[0] & 0x0F) == 0 && takeOne(faults_.flowControlWait)) {
            const int wait = faults_.waitMs.load();
            say(name + " asks the tester to wait " + std::to_string(wait) + " ms (flow-control WAIT, fault)");
            CanFrame waiting = frame;
            waiting.data[0] = 0x31;
            port_.write(waiting);
            std::this_thread::sleep_for(std::chrono::milliseconds(wait));
        }
        if ((kind == 0 || kind == 1) && end.corrupting) {
            end.corrupting = false;
            frame.data[0] = 0x00;  // a single frame of no length: the tester must ignore it
            say(name + " spoils its answer's first frame (fault)");
        }
        if (kind == 3 && (frame.data[0] & 0x0F) == 0 && takeOne(faults_.overflow)) {
            frame.data[0] = 0x32;
            end.endpoint.reset();
            say(name + " refuses the long request: flow-control overflow (fault)");
        } else if (kind == 3 && takeOne(faults_.lateFlowControl)) {
            const auto late = std::chrono::milliseconds(end.endpoint.settings().nBsMs + 200);
            say(name + " holds its flow control back " + std::to_string(late.count()) + " ms (fault)");
            std::this_thread::sleep_for(late);
        } else if (kind == 2 && end.answering) {
            end.answering = false;
            if (takeOne(faults_.lostConsecutive)) {
                say(name + " loses consecutive frame " + hexText(frame.data) + " (fault)");
                continue;
            }
        }
        port_.write(frame);
    }
}

void CanEcuServer::take(EcuEnd& end)
{
    auto message = end.endpoint.takeMessage();
    if (!message) return;
    const EcuDescription& ecu = simulator_.model().ecus[end.index];
    say(ecu.name + " <- " + loggedRequest(*message));
    bool answered = false;
    simulator_.serve(
        end.index, *message,
        [&](const Bytes& answer) {
            beforeAnswer(end);
            end.endpoint.send(answer, nowMicros());
            end.answering = answer.size() > 7;
            end.corrupting = takeOne(faults_.corrupt);
            flush(end);
            say(ecu.name + " -> " + hexText(answer));
            answered = true;
        },
        VehicleSimulator::Transport::Can);
    if (!answered) say(ecu.name + " stays silent");
}

// Faults that come before an answer's first frame.
void CanEcuServer::beforeAnswer(EcuEnd& end)
{
    const EcuDescription& ecu = simulator_.model().ecus[end.index];
    const IsoTpSettings& settings = end.endpoint.settings();
    if (takeOne(faults_.late)) {
        const int late = faults_.lateByMs.load();
        say(ecu.name + " answers " + std::to_string(late) + " ms past P2max (fault)");
        std::this_thread::sleep_for(std::chrono::milliseconds(static_cast<int>(ecu.can->p2Max) + late));
    }
    const auto outOfTurn = [&](Bytes data, const char* what) {
        if (settings.padding) data.resize(8, *settings.padding);
        say(ecu.name + " sends " + what + " " + hexText(data) + " (fault)");
        port_.write(CanFrame{settings.txId, settings.extendedIds, std::move(data)});
    };
    if (takeOne(faults_.garbage))
        outOfTurn({0x5A, 0x13, 0xFF, 0x00, 0x55, 0xC7, 0x21, 0x8A}, "a frame of no known type");
    if (takeOne(faults_.strayConsecutive))
        outOfTurn({0x24, 0x14, 0x15, 0x16, 0x17, 0x18, 0x19, 0x1A}, "a consecutive frame out of turn");
}

void CanEcuServer::poll(int timeoutMs)
{
    Micros wait = Micros(timeoutMs) * 1000;
    const Micros now = nowMicros();
    for (const auto& end : ends_) {
        if (auto event = end.endpoint.nextEvent()) wait = std::min(wait, *event > now ? *event - now : 0);
    }
    const auto frame = port_.read(CanBusPort::Clock::now() + std::chrono::microseconds(wait));
    for (auto& end : ends_) {
        try {
            if (frame) end.endpoint.receive(*frame, nowMicros());
            end.endpoint.checkTimers(nowMicros());
            flush(end);
            take(end);
        } catch (const Sorvik3::Error& error) {
            say(simulator_.model().ecus[end.index].name + ": " + error.description());
            flush(end);  // an overflow flow control still goes out
            end.endpoint.reset();
        }
    }
}

}  // namespace TavrinKwp
