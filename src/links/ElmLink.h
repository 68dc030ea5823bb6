// KWP2000 through an ELM327-compatible adapter (or an STN-based one) on a
// serial port: the adapter does the framing of the K-line (ISO 14230-4, fast
// initialisation) or of CAN (ISO 15765-4) and speaks AT commands and hex text.
// The link finds the adapter's serial rate, resets it, reads its identity,
// sets echo, line feeds and spaces off and headers on, and then sets the
// protocol, header, receive filter, flow control and timeout of each ECU from
// the vehicle description before talking to it. Every adapter reply that is
// not data becomes a numbered error in words; an adapter that stops answering
// is noticed within a second of its own timeout.
#pragma once

#include "Link.h"
#include "VehicleModel.h"

#include <atomic>
#include <chrono>
#include <deque>
#include <memory>
#include <vector>

class QSerialPort;

namespace TavrinKwp {

struct ElmOptions {
    std::string port;
    uint32_t baud = 0;          // 0: try 38400, 115200, 9600 and 500000 in turn
    uint32_t bitrate = 500000;  // of the vehicle's CAN bus
    enum class Protocol { Auto, KLine, Can };
    Protocol protocol = Protocol::Auto;  // Auto: CAN for an ECU with CAN identifiers, else the K-line
};

// What the adapter said it is.
struct ElmIdentity {
    std::string identity;       // the answer to ATI, e.g. "ELM327 v1.5"
    std::string device;         // the answer to STI on an STN chip; empty on others
    std::string claimedDevice;  // what a clone that refused STPX said to STI
    uint32_t baud = 0;          // the serial rate it answered at
    bool stn() const { return !device.empty(); }
};

class ElmLink final : public Link {
  public:
    ElmLink(std::string name, ElmOptions options);
    ~ElmLink() override;

    std::string name() const override { return name_; }
    void startCommunication(const EcuDescription& ecu, WireRecord& wire) override;
    void stopCommunication(const EcuDescription& ecu) override;
    Bytes frame(const EcuDescription& ecu, const Bytes& request) const override;
    Bytes exchange(const EcuDescription& ecu, const std::string& what, const Bytes& request, WireRecord& wire) override;
    Bytes nextAnswer(const EcuDescription& ecu, const std::string& what, uint32_t timeoutMs, WireRecord& wire) override;
    uint32_t answerTimeout(const EcuDescription& ecu) const override;
    uint32_t pendingTimeout(const EcuDescription& ecu) const override;
    void interrupt() override { interrupted_ = true; }
    // Tells an adapter that went away between requests (unplugged) as it happens.
    void watch() override;

    // The adapter check: what the adapter is, the voltage it reads, and whether
    // it takes the protocols these ECUs need; one line of text each.
    std::vector<std::string> checkAdapter(const VehicleDescription& vehicle) override;
    bool usesCan(const EcuDescription& ecu) const;

  private:
    using Clock = std::chrono::steady_clock;
    // How long an adapter may stay silent beyond its own timeout before it counts
    // as gone: an unplugged one is noticed within a second of a request.
    static constexpr uint32_t kAdapterSlackMs = 700;
    void open();
    void close();
    bool answersAt(uint32_t baud);
    // Whether the adapter prompts after a harmless ATI: it is there and listening.
    bool promptsAfterProbe();
    void reset();
    // One command line; the reply's lines up to the prompt. quietMs: how long
    // the adapter may stay silent before it counts as gone.
    std::vector<std::string> command(const std::string& line, uint32_t quietMs);
    // A setting the adapter must take ("OK"); optional ones may be refused.
    bool set(const std::string& line, bool required = true);
    // Silence (not one byte within quietMs) means a gone adapter, or, for a
    // command a clone may not know, possibly just that (nothing is returned).
    enum class Silence { MeansGone, MayMeanUnknown };
    std::optional<std::string> readToPrompt(const std::string& line, uint32_t quietMs,
                                            Silence silence = Silence::MeansGone);
    void takeForClone(const std::string& refusedCommand);
    void write(const std::string& text);
    void configure(const EcuDescription& ecu);
    void configureCan(const EcuDescription& ecu);
    void configureKLine(const EcuDescription& ecu);
    std::vector<std::string> sendRequest(const EcuDescription& ecu, const Bytes& request);
    std::vector<std::string> sendLongRequest(const EcuDescription& ecu, const Bytes& request);
    std::vector<std::string> sendFramesByHand(const EcuDescription& ecu, const Bytes& request);
    bool answerIncomplete(const EcuDescription& ecu, const std::vector<std::string>& lines) const;
    void restoreFormatting(const EcuDescription& ecu);
    std::string protocolCode(const EcuDescription& ecu) const;
    void setProtocol(const EcuDescription& ecu);
    // The adapter's timeout (ATST) counts in 4 ms steps.
    static std::string timeoutCommand(uint32_t ms);
    std::vector<Bytes> answersIn(const EcuDescription& ecu, const std::string& what,
                                 const std::vector<std::string>& lines);
    Bytes received(const EcuDescription& ecu, const Bytes& answer) const;
    [[noreturn]] void adapterGone(const std::string& why);
    std::string protocolName(const EcuDescription& ecu) const;

    std::string name_;
    ElmOptions options_;
    std::unique_ptr<QSerialPort> port_;
    ElmIdentity identity_;
    const EcuDescription* configured_ = nullptr;  // whose protocol and header are set
    std::vector<const EcuDescription*> started_;
    std::deque<Bytes> waiting_;  // answers of the last reply not yet handed out
    std::atomic<bool> interrupted_{false};
    bool interruptible_ = false;
    uint32_t pendingTimeoutMs_ = 5000;  // P2* of the ECU asked
    std::vector<std::string> refused_;  // optional settings the adapter refused
    std::string lost_;                  // why the adapter was given up on, until the next start
};

}  // namespace TavrinKwp
