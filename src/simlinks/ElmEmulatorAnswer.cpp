// How the emulated adapter passes on an ECU's answers: each as soon as it
// comes ("response pending" first), a character from the tester ending the
// wait (STOPPED), and a fault's reply in place of the answer.
#include "ElmEmulator.h"

#include "Kwp2000Codes.h"
#include "Kwp2000Frame.h"

#include <thread>

namespace TavrinKwp {

std::vector<std::string> ElmEmulator::answerLines(size_t ecu, const Bytes& message)
{
    const auto& model = simulator_.model().ecus[ecu];
    if (!onCan()) {
        if (!settings_.headers) return {bytesText(message)};
        const Bytes header = *parseHex(settings_.header);
        return {bytesText(encodeFrame(Frame{header[2], model.address, message}))};
    }
    const auto& can = *model.can;
    if (settings_.receiveFilter && *settings_.receiveFilter != can.responseId) return {};
    auto frames = canFrames(ecu, message);
    if (!settings_.formatting && frames.size() > 1) {
        // With formatting off the tester sends the flow control for the rest.
        raw_ = RawTransfer{};
        raw_.ecu = ecu;
        raw_.framesToSend.assign(frames.begin() + 1, frames.end());
        frames.resize(1);
    }
    if (!settings_.headers && settings_.formatting) return {bytesText(message)};
    std::vector<std::string> lines;
    for (const auto& frame : frames)
        lines.push_back(frameLine(can.responseId, frame));
    return lines;
}

bool ElmEmulator::startKLine(size_t ecu)
{
    if (onCan() || klineEcu_ == ecu) return true;
    bool started = false;
    simulator_.serve(ecu, {kStartCommunication}, [&](const Bytes& answer) {
        started = started || (!answer.empty() && answer[0] == kStartCommunication + kPositiveOffset);
    });
    if (!started) {
        reply({"BUS INIT: ...ERROR"});
        return false;
    }
    klineEcu_ = ecu;
    write({"BUS INIT: ...OK"});
    return true;
}

void ElmEmulator::write(const std::vector<std::string>& lines)
{
    const std::string end = settings_.linefeeds ? "\r\n" : "\r";
    std::string text;
    for (const auto& line : lines) {
        text += line + end;
        say("elm -> " + line);
    }
    channel_.write(Bytes(text.begin(), text.end()));
}

void ElmEmulator::answer(size_t ecu, const Bytes& message)
{
    if (!startKLine(ecu)) return;
    const auto& model = simulator_.model().ecus[ecu];
    if (!onCan()) std::this_thread::sleep_for(std::chrono::milliseconds(model.kline.timing.p2Min));
    bool stopped = false;
    std::vector<std::string> printed;
    simulator_.serve(
        ecu, message,
        [&](const Bytes& answer) {
            uint8_t any;
            if (stopped) return;
            if (channel_.read(&any, 1, 0) > 0) {
                // Any character ends the adapter's wait at once; the ECU's later answers are not passed on.
                stopped = true;
                reply({"STOPPED"});
                return;
            }
            const auto lines = answerLines(ecu, answer);
            printed.insert(printed.end(), lines.begin(), lines.end());
            if (!fault_) write(lines);  // a fault's reply takes the answer's place
        },
        onCan() ? VehicleSimulator::Transport::Can : VehicleSimulator::Transport::KLine);
    if (stopped) {
        return;
    } else if (fault_) {
        const std::string text = *fault_;
        say("elm fault: " + text);
        if (text == "NO DATA") std::this_thread::sleep_for(std::chrono::milliseconds(settings_.timeoutMs));
        if (text == "<RX ERROR" && !printed.empty())
            reply({printed.front().substr(0, printed.front().size() / 2) + " <RX ERROR"});
        else
            reply({text});
    } else if (printed.empty()) {
        noData();
    } else {
        reply({});
    }
}

}  // namespace TavrinKwp
