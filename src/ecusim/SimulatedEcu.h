// The ECU at the other end of the line: it answers service requests from its
// description, keeps its diagnostic session and the state of its devices, and
// lets the devices' measured signals move with time.
#pragma once

#include <TavrinKwpSession/HexText.h>
#include <TavrinKwpSession/VehicleModel.h>

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace TavrinKwp {

struct Answer {
    enum class Kind { Positive, Negative } kind = Kind::Positive;
    Bytes data;  // service id + 0x40 first, or 7F service code
};

class SimulatedEcu {
  public:
    explicit SimulatedEcu(const EcuDescription& model);

    Answer startCommunication(uint32_t now);
    void stopCommunication(uint32_t now);
    Answer handle(const RequestDescription& request, const Bytes& data, uint32_t now);
    // The next key it is sent is refused as wrong (the simulated vehicle's fault).
    void expectWrongKey() { wrongKey_ = true; }

    // For tests and the runner: what the ECU itself believes.
    enum class Drive { None, Temporary, Permanent };
    bool deviceRunning(const std::string& device, uint32_t now);
    Drive deviceDrive(const std::string& device, uint32_t now);
    // The devices in description order.
    std::vector<std::string> deviceNames() const;
    uint8_t currentSession() const { return session_; }
    double signalValue(const std::string& signal, uint32_t now);

  private:
    struct SignalState {
        const SignalDescription* model = nullptr;
        double value = 0.0;
        uint32_t time = 0;
    };
    struct DeviceState {
        const DeviceDescription* model = nullptr;
        bool running = false;
        bool temporary = false;
        uint32_t startTime = 0;
        std::map<std::string, double> parameters;
        std::vector<SignalState> measures;
    };

    void settle(uint32_t now);
    void stopDevice(DeviceState& device, uint32_t at);
    void advanceSignals(DeviceState& device, uint32_t to);
    double signalTarget(const DeviceState& device, const SignalDescription& signal) const;
    std::optional<uint32_t> automaticStop(const DeviceState& device) const;
    std::optional<Answer> controlDevice(const RequestDescription& request, const Bytes& data, uint32_t now,
                                        DeviceState*& device);
    void startDevice(DeviceState& device, const RequestDescription& request, const Bytes& data, uint32_t now,
                     bool temporary);
    Answer positive(const RequestDescription& request, const Bytes& data, const DeviceState* device, uint32_t now);
    double sourceValue(const DataDescription& item, const DeviceState* device, uint32_t now);
    DeviceState* deviceById(uint8_t localId);
    Answer negative(uint8_t service, uint8_t code) const;

    // UDS (ISO 14229-1): the services of an ECU whose description says protocol="uds".
    Answer handleUds(const RequestDescription& request, const Bytes& data, uint32_t now);
    std::optional<Answer> udsSession(const RequestDescription& request, const Bytes& data, Bytes& timing);
    std::optional<Answer> udsSecurity(const Bytes& data, uint32_t now, Bytes& out);
    std::optional<Answer> udsControl(const RequestDescription& request, const Bytes& data, uint32_t now,
                                     DeviceState*& first);
    std::vector<DeviceState*> devicesOf(uint16_t dataId, std::optional<uint8_t> mask);
    void endSession();

    const EcuDescription& model_;
    std::vector<DeviceState> devices_;
    uint8_t defaultSession_ = 0;
    uint8_t session_ = 0;
    uint32_t lastRequest_ = 0;
    bool sessionActive_ = false;  // a session other than the default one, kept alive by requests
    // SecurityAccess: open until the session ends; wrong keys count towards a lock-up.
    bool unlocked_ = false;
    Bytes seed_;
    int wrongKeys_ = 0;
    std::optional<uint32_t> lockedAt_;  // too many wrong keys: no seed for delayMs
    bool wrongKey_ = false;
    uint32_t seedCounter_ = 0;
};

}  // namespace TavrinKwp
