// The way between the session library and the ECUs: start communication with
// an ECU, exchange request bytes for answer bytes, stop. Every wait a link
// makes is bounded; every failure is a numbered Sorvik3::Error that names the ECU.
#pragma once

#include <TavrinKwpSession/HexText.h>
#include <TavrinKwpSession/VehicleModel.h>

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace TavrinKwp {

// The frames of one exchange as they went over the wire.
struct WireRecord {
    Bytes sent;
    Bytes received;  // the last answer; empty when none came
};

class Link {
  public:
    virtual ~Link() = default;

    // The connection string that names this link, e.g. "sim" or "kline:/dev/ttyUSB0".
    virtual std::string name() const = 0;
    virtual void startCommunication(const EcuDescription& ecu, WireRecord& wire) = 0;
    virtual void stopCommunication(const EcuDescription& ecu) = 0;
    // The frame that would carry this request to the ECU.
    virtual Bytes frame(const EcuDescription& ecu, const Bytes& request) const = 0;
    // Sends a request and returns the ECU's first answer (service bytes); what names
    // the request in errors.
    virtual Bytes exchange(const EcuDescription& ecu, const std::string& what, const Bytes& request,
                           WireRecord& wire) = 0;
    // The next answer after a "response pending", waited for at most timeoutMs.
    virtual Bytes nextAnswer(const EcuDescription& ecu, const std::string& what, uint32_t timeoutMs,
                             WireRecord& wire) = 0;
    // The wait for an answer (P2max).
    virtual uint32_t answerTimeout(const EcuDescription& ecu) const
    {
        if (auto timing = serverTiming(ecu)) return timing->first;
        return ecu.kline.timing.p2Max;
    }
    // The wait for each answer after a "response pending" (P2*).
    virtual uint32_t pendingTimeout(const EcuDescription& ecu) const
    {
        if (auto timing = serverTiming(ecu)) return timing->second;
        return ecu.kline.timing.p2Extended;
    }
    // Asks a wait for an answer after "response pending" to end at once (it then
    // throws Interrupted); callable from any thread while a call is under way.
    virtual void interrupt() {}
    // An adapter between the link and the vehicle says what it is and whether it
    // takes what these ECUs need, one line of text each; a plain line has none.
    virtual std::vector<std::string> checkAdapter(const VehicleDescription&) { return {}; }
    // Called between calls, on the line's own thread, at least every few
    // milliseconds: reads what the line holds, answers what must be answered
    // (CAN flow control for a late answer's first frame) and drops late answers,
    // so the next exchange finds the line and the ECU ready.
    virtual void watch() {}

    // The ECU's own P2 and P2* in milliseconds, as a UDS ECU gives them in its
    // answer to DiagnosticSessionControl: they replace the description's from then on.
    virtual void useServerTiming(const EcuDescription& ecu, uint32_t p2Ms, uint32_t p2ExtendedMs)
    {
        std::lock_guard lock(timingMutex_);
        serverTiming_[&ecu] = {p2Ms, p2ExtendedMs};
    }

  protected:
    std::optional<std::pair<uint32_t, uint32_t>> serverTiming(const EcuDescription& ecu) const
    {
        std::lock_guard lock(timingMutex_);
        auto found = serverTiming_.find(&ecu);
        if (found == serverTiming_.end()) return std::nullopt;
        return found->second;
    }

  private:
    mutable std::mutex timingMutex_;
    std::map<const EcuDescription*, std::pair<uint32_t, uint32_t>> serverTiming_;
};

}  // namespace TavrinKwp
