// KWP2000 on CAN (ISO 15765): the service bytes travel as ISO-TP messages
// between the ECU's request and response identifiers; there is no K-line header
// and no checksum, so a frame text is the message itself.
#pragma once

#include "CanBusPort.h"
#include "IsoTp.h"
#include "Link.h"

#include <atomic>
#include <map>
#include <memory>

namespace TavrinKwp {

struct CanOptions {
    std::string plugin;                         // "socketcan", "virtualcan", ...
    std::string interface;                      // "can0"
    std::map<std::string, std::string> device;  // bitrate=500000
};

class CanLink final : public Link {
  public:
    CanLink(std::string name, CanOptions options);
    ~CanLink() override;

    std::string name() const override { return name_; }
    void startCommunication(const EcuDescription& ecu, WireRecord& wire) override;
    void stopCommunication(const EcuDescription& ecu) override;
    Bytes frame(const EcuDescription& ecu, const Bytes& request) const override;
    Bytes exchange(const EcuDescription& ecu, const std::string& what, const Bytes& request, WireRecord& wire) override;
    Bytes nextAnswer(const EcuDescription& ecu, const std::string& what, uint32_t timeoutMs, WireRecord& wire) override;
    uint32_t answerTimeout(const EcuDescription& ecu) const override
    {
        if (auto timing = serverTiming(ecu)) return timing->first;
        return ecu.can ? ecu.can->p2Max : ecu.kline.timing.p2Max;
    }
    void interrupt() override { interrupted_ = true; }
    void watch() override;
    uint32_t pendingTimeout(const EcuDescription& ecu) const override
    {
        if (auto timing = serverTiming(ecu)) return timing->second;
        return ecu.can ? ecu.can->p2Extended : ecu.kline.timing.p2Extended;
    }

  private:
    IsoTpEndpoint& endpoint(const EcuDescription& ecu);
    const CanSettings& settings(const EcuDescription& ecu) const;
    void open();
    void close();
    // Sends a message whole, answering its flow control; then waits for the answer.
    Bytes transfer(const EcuDescription& ecu, const std::string& what, const Bytes& request, WireRecord& wire);
    Bytes awaitMessage(IsoTpEndpoint& endpoint, const EcuDescription& ecu, const std::string& what, uint32_t timeoutMs,
                       WireRecord& wire, bool interruptible = false);
    void flush(IsoTpEndpoint& endpoint);

    std::string name_;
    CanOptions options_;
    std::unique_ptr<CanBusPort> port_;
    std::map<const EcuDescription*, IsoTpEndpoint> endpoints_;
    std::map<const EcuDescription*, bool> started_;
    std::atomic<bool> interrupted_{false};
};

// The ISO-TP settings of the tester's side (or, with forEcu, the ECU's side) of an ECU.
IsoTpSettings isoTpSettings(const EcuDescription& ecu, bool forEcu);
Micros nowMicros();

}  // namespace TavrinKwp
