// The ECU simulator's side of a K-line: reads request frames from a port,
// echoes every byte as a single-wire interface does, hands each frame to the
// ECU its target address names, and writes the answers back after P2min.
// Frames with a bad checksum, stray bytes and frames for no ECU are logged
// and dropped, as a real ECU ignores them. Faults of the line can be injected
// (TransportFaults): late, corrupt answers, noise, a stray 0x00.
#pragma once

#include "ByteChannel.h"
#include "TransportFaults.h"
#include "VehicleSimulator.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <optional>
#include <string>

namespace TavrinKwp {

struct EcuServerOptions {
    bool echo = true;
    // Each exchange and each dropped byte, as a line of text.
    std::function<void(const std::string&)> log;
};

class KLineEcuServer {
  public:
    KLineEcuServer(VehicleSimulator& simulator, ByteChannel& channel, EcuServerOptions options,
                   TransportFaults& faults);

    // Serves until stop is set.
    void run(const std::atomic<bool>& stop);
    // Handles what arrives within timeoutMs.
    void poll(int timeoutMs);

  private:
    void parse();
    void take(const Bytes& frame);
    void answer(const EcuDescription& ecu, Bytes frame);
    void say(const std::string& line) const;

    VehicleSimulator& simulator_;
    ByteChannel& channel_;
    EcuServerOptions options_;
    TransportFaults& faults_;
    Bytes received_;
    std::chrono::steady_clock::time_point lastByte_;
    std::optional<size_t> lastStarted_;  // the ECU a frame without addresses goes to
};

}  // namespace TavrinKwp
