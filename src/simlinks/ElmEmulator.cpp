#include "ElmEmulator.h"

#include "LoggedRequest.h"
#include "ServingLoop.h"

#include <algorithm>
#include <cctype>
#include <thread>
#include <utility>

namespace TavrinKwp {
namespace {

bool isHex(const std::string& text)
{
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); });
}

bool startsWith(const std::string& text, const std::string& start)
{
    return text.compare(0, start.size(), start) == 0;
}

}  // namespace

ElmEmulator::ElmEmulator(VehicleSimulator& simulator, ByteChannel& channel, ElmEmulatorOptions options,
                         TransportFaults& faults)
    : simulator_(simulator), channel_(channel), options_(std::move(options)), faults_(faults)
{}

void ElmEmulator::say(const std::string& line) const
{
    if (options_.log) options_.log(line);
}

void ElmEmulator::run(const std::atomic<bool>& stop)
{
    serveUntilStopped(
        stop, [this] { poll(20); }, [this](const std::string& line) { say(line); }, &faults_.unplugged);
}

void ElmEmulator::poll(int timeoutMs)
{
    uint8_t buffer[256];
    const size_t got = channel_.read(buffer, sizeof buffer, timeoutMs);
    for (size_t i = 0; i < got; ++i) {
        const char c = static_cast<char>(buffer[i]);
        if (settings_.echo) channel_.write({buffer[i]});
        if (c == '\r') {
            handle(std::exchange(input_, {}));
        } else if (c != '\n' && c != ' ' && input_.size() < 512) {
            input_.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
        }
    }
}

void ElmEmulator::reply(const std::vector<std::string>& lines)
{
    const std::string end = settings_.linefeeds ? "\r\n" : "\r";
    std::string text;
    for (const auto& line : lines)
        text += line + end;
    text += end + ">";
    channel_.write(Bytes(text.begin(), text.end()));
    for (const auto& line : lines)
        say("elm -> " + line);
}

bool ElmEmulator::listed(const std::set<std::string>& prefixes, const std::string& command)
{
    std::lock_guard lock(faults_.elm.mutex);
    return std::any_of(prefixes.begin(), prefixes.end(),
                       [&](const std::string& prefix) { return startsWith(command, prefix); });
}

std::optional<std::string> ElmEmulator::faultReply()
{
    std::lock_guard lock(faults_.elm.mutex);
    for (auto& [text, count] : faults_.elm.replies) {
        if (count == 0) continue;
        if (count > 0) --count;
        return text;
    }
    return std::nullopt;
}

void ElmEmulator::handle(std::string line)
{
    if (line.empty()) line = lastCommand_;  // a bare return repeats the last command
    if (line.empty()) {
        reply({});
        return;
    }
    lastCommand_ = line;
    say("elm <- " + loggedCommand(line));
    if (listed(faults_.elm.ignored, line)) return;
    if (listed(faults_.elm.refused, line)) {
        reply({"?"});
    } else if (startsWith(line, "AT")) {
        atCommand(line.substr(2));
    } else if (startsWith(line, "ST")) {
        stCommand(line.substr(2));
    } else if (isHex(line) && line.size() % 2 == 0) {
        data(*parseHex(line));
    } else {
        reply({"?"});
    }
}

void ElmEmulator::atCommand(const std::string& command)
{
    if (command == "Z" || command == "WS") {
        settings_ = Settings{};
        klineEcu_.reset();
        raw_ = RawTransfer{};
        reply({"", kIdentity});
    } else if (command == "I") {
        reply({kIdentity});
    } else if (command == "@1") {
        reply({"OBDII to RS232 Interpreter"});
    } else if (command == "RV") {
        reply({"12.6V"});
    } else if (command == "DPN") {
        reply({settings_.protocol});
    } else if (command == "FI") {
        fastInit();
    } else if (setting(command)) {
        reply({"OK"});
    } else {
        reply({"?"});
    }
}

bool ElmEmulator::switchSetting(const std::string& c)
{
    auto flag = [&](const char* name, bool& value) {
        const std::string n(name);
        if (c != n + "0" && c != n + "1") return false;
        value = c.back() == '1';
        return true;
    };
    bool ignored = false;
    return flag("E", settings_.echo) || flag("L", settings_.linefeeds) || flag("S", settings_.spaces) ||
           flag("H", settings_.headers) || flag("CAF", settings_.formatting) || flag("AT", ignored);
}

bool ElmEmulator::setting(const std::string& c)
{
    if (switchSetting(c)) return true;
    if (c == "D") {
        settings_ = Settings{};
        return true;
    }
    if ((startsWith(c, "SPA") || startsWith(c, "TPA")) && c.size() == 4 && isHex(c.substr(3))) {
        settings_.protocol = c.substr(3);
        klineEcu_.reset();
        return true;
    }
    if ((startsWith(c, "SP") || startsWith(c, "TP")) && c.size() == 3 && isHex(c.substr(2))) {
        settings_.protocol = c.substr(2);
        klineEcu_.reset();
        return true;
    }
    if (startsWith(c, "SH") && isHex(c.substr(2)) && (c.size() == 5 || c.size() == 8 || c.size() == 10)) {
        settings_.header = c.substr(2);
        return true;
    }
    if (startsWith(c, "CRA") && (c.size() == 3 || (isHex(c.substr(3)) && (c.size() == 6 || c.size() == 11)))) {
        settings_.receiveFilter =
            c.size() == 3 ? std::nullopt : std::optional<uint32_t>(std::stoul(c.substr(3), nullptr, 16));
        return true;
    }
    if (c == "AR") {
        settings_.receiveFilter.reset();
        return true;
    }
    if (startsWith(c, "CP") && c.size() == 4 && isHex(c.substr(2))) {
        settings_.priority = static_cast<uint8_t>(std::stoul(c.substr(2), nullptr, 16));
        return true;
    }
    if (startsWith(c, "ST") && c.size() == 4 && isHex(c.substr(2))) {
        const auto steps = std::stoul(c.substr(2), nullptr, 16);
        settings_.timeoutMs = steps == 0 ? 128 : static_cast<uint32_t>(steps * 4);
        return true;
    }
    // The adapter's own flow control paces nothing here: the simulated ECUs send at once.
    if (startsWith(c, "FCSD") && isHex(c.substr(4)) && c.size() == 10) return true;
    for (const char* prefix : {"FCSH", "FCSM", "SW", "WM", "PB"}) {
        if (startsWith(c, prefix) && isHex(c.substr(std::string(prefix).size()))) return true;
    }
    if (c == "PC") {
        klineEcu_.reset();
        return true;
    }
    return false;
}

void ElmEmulator::stCommand(const std::string& command)
{
    if (!options_.stn) {
        reply({"?"});
    } else if (command == "I") {
        reply({kStnDevice});
    } else if (command == "DI") {
        reply({"OBDLink emulation"});
    } else if (startsWith(command, "PX")) {
        // STPX D:hex — the whole message, whatever its length, as ISO-TP.
        const auto at = command.find("D:");
        const std::string digits =
            at == std::string::npos ? "" : command.substr(at + 2, command.find(',', at) - at - 2);
        const auto bytes = isHex(digits) ? parseHex(digits) : std::nullopt;
        if (!bytes || !onCan()) {
            reply({"?"});
            return;
        }
        const auto ecu = canEcu();
        if (!ecu) {
            noData();
            return;
        }
        answer(*ecu, *bytes);
    } else {
        reply({"?"});
    }
}

}  // namespace TavrinKwp
