// An ELM327-compatible adapter in front of the simulated vehicle, on a byte
// channel (a pseudo-terminal or a serial port): the AT command set a tester
// uses, the prompt, echo, line feeds, spaces and headers, the K-line (ISO
// 14230-4, fast initialisation) and CAN (ISO 15765-4) protocols with the
// adapter's ISO-TP formatting on or off, and the adapter's own error replies
// as faults. The STN variant also answers STI and sends long messages whole
// (STPX).
#pragma once

#include "ByteChannel.h"
#include "TransportFaults.h"
#include "VehicleSimulator.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace TavrinKwp {

struct ElmEmulatorOptions {
    bool stn = false;
    // Each command and reply, as a line of text.
    std::function<void(const std::string&)> log;
};

class ElmEmulator {
  public:
    ElmEmulator(VehicleSimulator& simulator, ByteChannel& channel, ElmEmulatorOptions options, TransportFaults& faults);

    // Serves until stop is set.
    void run(const std::atomic<bool>& stop);
    // Handles what arrives within timeoutMs.
    void poll(int timeoutMs);

    static constexpr const char* kIdentity = "ELM327 v1.5";
    static constexpr const char* kStnDevice = "STN1110 v4.2.1";

  private:
    struct Settings {
        bool echo = true;
        bool linefeeds = false;
        bool spaces = true;
        bool headers = false;
        bool formatting = true;  // CAF: ISO-TP done by the adapter
        std::string protocol = "0";
        std::string header;       // ATSH, as hex digits
        uint8_t priority = 0x18;  // ATCP
        std::optional<uint32_t> receiveFilter;
        uint32_t timeoutMs = 128;  // ATST
    };
    // An ISO-TP message being received or sent by hand (formatting off).
    struct RawTransfer {
        std::optional<size_t> ecu;
        Bytes received;
        size_t expected = 0;
        int sinceFlowControl = 0;
        std::vector<Bytes> framesToSend;  // an answer's consecutive frames waiting for the tester's flow control
    };

    void handle(std::string line);
    void atCommand(const std::string& command);
    void stCommand(const std::string& command);
    bool setting(const std::string& command);
    // E, L, S, H, CAF and AT: 0 or 1.
    bool switchSetting(const std::string& command);
    void data(const Bytes& bytes);
    void canData(const Bytes& bytes);
    void rawCanFrame(size_t ecu, const Bytes& frame);
    void klineData(const Bytes& bytes);
    void fastInit();
    // Serves one message to an ECU and prints its answers as they come.
    void answer(size_t ecu, const Bytes& message);
    std::vector<std::string> answerLines(size_t ecu, const Bytes& message);
    bool startKLine(size_t ecu);
    void write(const std::vector<std::string>& lines);
    std::vector<Bytes> canFrames(size_t ecu, const Bytes& message) const;
    std::string frameLine(uint32_t id, const Bytes& data) const;
    std::string bytesText(const Bytes& bytes) const;
    std::optional<size_t> canEcu() const;
    bool extendedIds() const;
    bool onCan() const;
    // The adapter's own reply in place of the answer, if a fault asks for one.
    std::optional<std::string> faultReply();
    bool listed(const std::set<std::string>& prefixes, const std::string& command);
    void reply(const std::vector<std::string>& lines);
    void noData();
    void say(const std::string& line) const;

    VehicleSimulator& simulator_;
    ByteChannel& channel_;
    ElmEmulatorOptions options_;
    TransportFaults& faults_;
    Settings settings_;
    std::string input_;
    std::string lastCommand_;
    std::optional<size_t> klineEcu_;  // the ECU the fast initialisation reached
    RawTransfer raw_;
    std::optional<std::string> fault_;  // the adapter's reply that takes this answer's place
};

}  // namespace TavrinKwp
