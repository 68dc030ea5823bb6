// KWP2000 on a K-line (ISO 14230-2) through a serial port: fast
// initialisation, frames with format byte, addresses and checksum, the
// interface's echo read back, P1 to P4 timing from the ECU's description.
// Every received frame is checked; a wrong one is an error, never an answer.
// After any failed exchange the line is drained until it has been quiet for
// P3min, so a late, cut or garbled answer never reaches the next request.
#pragma once

#include "Kwp2000Frame.h"
#include "Link.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <map>
#include <memory>

class QSerialPort;

namespace TavrinKwp {

struct KLineOptions {
    std::string port;
    uint32_t baud = 0;  // 0: each ECU's own baud rate
    bool echo = true;   // a single-wire interface reads back what it sends
};

class KLineLink final : public Link {
  public:
    KLineLink(std::string name, KLineOptions options);
    ~KLineLink() override;

    std::string name() const override { return name_; }
    void startCommunication(const EcuDescription& ecu, WireRecord& wire) override;
    void stopCommunication(const EcuDescription& ecu) override;
    Bytes frame(const EcuDescription& ecu, const Bytes& request) const override;
    Bytes exchange(const EcuDescription& ecu, const std::string& what, const Bytes& request, WireRecord& wire) override;
    Bytes nextAnswer(const EcuDescription& ecu, const std::string& what, uint32_t timeoutMs, WireRecord& wire) override;
    void interrupt() override { interrupted_ = true; }
    // Tells a port that went away between requests (an unplugged interface) as it happens.
    void watch() override;

    // Bytes that belonged to no frame, dropped since the link was opened.
    size_t strayBytes() const { return stray_; }
    // The milliseconds by which silence on the line is judged against P3max: real
    // time, unless the ECUs at the other end live on another clock.
    void setSilenceClock(std::function<uint32_t()> now) { silenceClock_ = std::move(now); }

  private:
    using Clock = std::chrono::steady_clock;
    struct EcuState {
        bool started = false;
        HeaderForm form;
        uint32_t lastAnswer = 0;  // on the silence clock
    };

    void open(const EcuDescription& ecu);
    void close();
    void wakeUp();
    void settle(const EcuDescription& ecu);
    void send(const EcuDescription& ecu, const Bytes& frame, bool afterWakeUp = false);
    void write(const Bytes& bytes);
    void readEcho(const EcuDescription& ecu, const Bytes& frame, bool afterWakeUp);
    Bytes readFrame(const EcuDescription& ecu, const std::string& what, uint32_t timeoutMs, WireRecord& wire);
    bool fill(Clock::time_point until);
    void dropWaiting();
    void awaitOwedAnswer(const EcuDescription& ecu);
    static constexpr int kMaxGarbledWhileOwed = 16;
    [[noreturn]] void portLost(const std::string& when);
    std::string where(const EcuDescription& ecu) const;

    std::string name_;
    KLineOptions options_;
    std::unique_ptr<QSerialPort> port_;
    Bytes received_;
    // The last byte seen on the line either way, or the end of a wait for an
    // answer that did not come: P3min is counted from it.
    Clock::time_point lastByte_;
    std::map<const EcuDescription*, EcuState> ecus_;
    size_t stray_ = 0;
    std::string lost_;  // why the port was given up on, until the next start
    std::atomic<bool> interrupted_{false};
    bool interruptible_ = false;  // a wait after "response pending" is under way
    // A wait through "response pending" was given up: the ECU still owes its
    // final answer, and nothing is sent into it.
    bool answerOwed_ = false;
    std::function<uint32_t()> silenceClock_;
};

}  // namespace TavrinKwp
