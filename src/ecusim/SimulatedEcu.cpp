#include "SimulatedEcu.h"

#include "DataCodec.h"
#include "Kwp2000Codes.h"

#include <algorithm>
#include <cmath>

namespace TavrinKwp {
namespace {

// InputOutputControlParameter values of service 0x30.
constexpr uint8_t kReportCurrentState = 0x01;
constexpr uint8_t kShortTermAdjustment = 0x07;
constexpr uint8_t kLongTermAdjustment = 0x08;

// Raw value of a physical one, held to what the item's bytes can carry.
int64_t clampedRaw(const DataDescription& item, double physical)
{
    const double scaled = std::round((physical - item.offset) / item.factor);
    const auto [low, high] = rawRange(item);
    return static_cast<int64_t>(
        std::clamp(std::isfinite(scaled) ? scaled : 0.0, static_cast<double>(low), static_cast<double>(high)));
}

// Compares two instants of a wrapping 32-bit clock by their distance from a common origin.
bool reached(uint32_t origin, uint32_t instant, uint32_t now)
{
    return now - origin >= instant - origin;
}

}  // namespace

SimulatedEcu::SimulatedEcu(const EcuDescription& model) : model_(model)
{
    for (const auto& device : model.devices) {
        DeviceState state;
        state.model = &device;
        for (const auto& signal : device.measures)
            state.measures.push_back({&signal, signal.idle, 0});
        devices_.push_back(std::move(state));
    }
    defaultSession_ = model.sessions.empty() ? 0 : model.sessions.front().id;
    session_ = defaultSession_;
}

Answer SimulatedEcu::startCommunication(uint32_t now)
{
    settle(now);
    session_ = defaultSession_;
    sessionActive_ = false;
    lastRequest_ = now;
    return Answer{
        Answer::Kind::Positive,
        {static_cast<uint8_t>(kStartCommunication + kPositiveOffset), model_.kline.keyByte1, model_.kline.keyByte2}};
}

void SimulatedEcu::stopCommunication(uint32_t now)
{
    settle(now);
    for (auto& device : devices_) {
        if (device.running && device.temporary) stopDevice(device, now);
    }
    endSession();
}

// Back in the default session, SecurityAccess is locked again.
void SimulatedEcu::endSession()
{
    session_ = defaultSession_;
    sessionActive_ = false;
    unlocked_ = false;
    seed_.clear();
}

std::optional<uint32_t> SimulatedEcu::automaticStop(const DeviceState& device) const
{
    if (!device.running || !device.temporary) return std::nullopt;
    // Silence of more than the session timeout ends the session and the adjustment with it.
    uint32_t stopAt = lastRequest_ + model_.sessionTimeoutMs + 1;
    if (device.model->maxDurationMs > 0) {
        const uint32_t limit = device.startTime + device.model->maxDurationMs;
        if (limit - device.startTime < stopAt - device.startTime) stopAt = limit;
    }
    return stopAt;
}

void SimulatedEcu::settle(uint32_t now)
{
    for (auto& device : devices_) {
        if (auto stopAt = automaticStop(device); stopAt && reached(device.startTime, *stopAt, now)) {
            stopDevice(device, *stopAt);
        }
        advanceSignals(device, now);
    }
    if (sessionActive_ && now - lastRequest_ > model_.sessionTimeoutMs) endSession();
}

void SimulatedEcu::stopDevice(DeviceState& device, uint32_t at)
{
    advanceSignals(device, at);
    device.running = false;
}

double SimulatedEcu::signalTarget(const DeviceState& device, const SignalDescription& signal) const
{
    if (!device.running) return signal.idle;
    if (signal.follows.empty()) return signal.active;
    auto parameter = device.parameters.find(signal.follows);
    return parameter == device.parameters.end() ? signal.active : signal.idle + signal.gain * parameter->second;
}

void SimulatedEcu::advanceSignals(DeviceState& device, uint32_t to)
{
    for (auto& signal : device.measures) {
        if (signal.time == to) continue;  // already there: a request reads several signals at one time
        const double target = signalTarget(device, *signal.model);
        const double dt = static_cast<double>(to - signal.time);
        signal.value = signal.model->tauMs <= 0.0
                           ? target
                           : target + (signal.value - target) * std::exp(-dt / signal.model->tauMs);
        signal.time = to;
    }
}

SimulatedEcu::DeviceState* SimulatedEcu::deviceById(uint8_t localId)
{
    for (auto& device : devices_) {
        if (device.model->localId == localId) return &device;
    }
    return nullptr;
}

Answer SimulatedEcu::negative(uint8_t service, uint8_t code) const
{
    return Answer{Answer::Kind::Negative, {kNegativeResponse, service, code}};
}

std::optional<Answer> SimulatedEcu::controlDevice(const RequestDescription& request, const Bytes& data, uint32_t now,
                                                  DeviceState*& device)
{
    if (data.size() < 3) return negative(request.service, kSubFunctionNotSupported);
    device = deviceById(data[1]);
    if (device == nullptr) return negative(request.service, kRequestOutOfRange);
    const uint8_t parameter = data[2];
    if (parameter == kReportCurrentState) return std::nullopt;
    // As a real ECU does, it takes neither a start nor a stop outside the diagnostic session.
    if (model_.controlNeedsSession && !sessionActive_ &&
        (parameter == kReturnControlToEcu || parameter == kShortTermAdjustment || parameter == kLongTermAdjustment))
        return negative(request.service, kConditionsNotCorrect);
    if (parameter == kReturnControlToEcu) {
        if (device->running) stopDevice(*device, now);
        return std::nullopt;
    }
    if (parameter != kShortTermAdjustment && parameter != kLongTermAdjustment) {
        return negative(request.service, kSubFunctionNotSupported);
    }
    const bool temporary = parameter == kShortTermAdjustment;
    if (device->model->refuseCode) return negative(request.service, *device->model->refuseCode);
    if ((temporary && !device->model->temporary) || (!temporary && !device->model->permanent)) {
        return negative(request.service, kRequestOutOfRange);
    }
    startDevice(*device, request, data, now, temporary);
    return std::nullopt;
}

// The start keeps the request's other items as the device's parameters (its signals may follow one).
void SimulatedEcu::startDevice(DeviceState& device, const RequestDescription& request, const Bytes& data, uint32_t now,
                               bool temporary)
{
    advanceSignals(device, now);
    device.parameters.clear();
    for (const auto& item : request.items) {
        if (item.inResponse || item.kind != DataKind::Number) continue;
        if (auto raw = readRaw(data, item)) device.parameters[item.name] = physicalFromRaw(item, *raw);
    }
    device.running = true;
    device.temporary = temporary;
    device.startTime = now;
}

Answer SimulatedEcu::handle(const RequestDescription& request, const Bytes& data, uint32_t now)
{
    settle(now);
    if (model_.protocol == Protocol::Uds) return handleUds(request, data, now);
    DeviceState* device = nullptr;
    std::optional<Answer> refused;
    if (request.service == kStartDiagnosticSession) {
        const uint8_t wanted = data.size() > 1 ? data[1] : 0;
        const bool known = std::any_of(model_.sessions.begin(), model_.sessions.end(),
                                       [wanted](const SessionDescription& s) { return s.id == wanted; });
        if (!known)
            refused = negative(request.service, kSubFunctionNotSupported);
        else {
            session_ = wanted;
            sessionActive_ = wanted != defaultSession_;
        }
    } else if (request.service == kIoControlByLocalId) {
        refused = controlDevice(request, data, now, device);
    }
    lastRequest_ = now;
    if (refused) return *refused;
    return positive(request, data, device, now);
}

double SimulatedEcu::sourceValue(const DataDescription& item, const DeviceState* device, uint32_t now)
{
    using K = ResponseSource::Kind;
    switch (item.source.kind) {
    case K::DeviceState: return device && device->running ? 1.0 : 0.0;
    case K::RemainingTime: {
        if (device == nullptr) return 0.0;
        auto stopAt = automaticStop(*device);
        if (!stopAt || device->model->maxDurationMs == 0) return 0.0;
        return static_cast<double>(*stopAt - now) / 1000.0;
    }
    case K::Signal: return signalValue(item.source.name, now);
    case K::Parameter: {
        if (device == nullptr) return 0.0;
        auto found = device->parameters.find(item.source.name);
        return found == device->parameters.end() ? 0.0 : found->second;
    }
    case K::Session: return session_;
    case K::Echo:
    case K::Constant: break;
    }
    return 0.0;
}

Answer SimulatedEcu::positive(const RequestDescription& request, const Bytes& data, const DeviceState* device,
                              uint32_t now)
{
    // The positive answer to TesterPresent is its service id alone.
    if (request.service == kTesterPresent) return Answer{Answer::Kind::Positive, {kTesterPresent + kPositiveOffset}};
    size_t length = 0;
    for (const auto& item : request.items) {
        if (!item.inResponse) continue;
        const size_t size =
            item.size > 0 ? static_cast<size_t>(item.size) : std::max<size_t>(1, item.source.bytes.size());
        length = std::max(length, static_cast<size_t>(item.position) + size);
    }
    if (length == 0) length = std::max<size_t>(1, data.size());
    Bytes out(length, 0);
    out[0] = static_cast<uint8_t>(request.service + kPositiveOffset);
    for (size_t i = 1; i < length && i < data.size(); ++i)
        out[i] = data[i];
    for (const auto& item : request.items) {
        if (!item.inResponse || item.source.kind == ResponseSource::Kind::Echo) continue;
        if (item.source.kind == ResponseSource::Kind::Constant) {
            for (size_t i = 0; i < item.source.bytes.size() && item.position + i < out.size(); ++i) {
                out[item.position + i] = item.source.bytes[i];
            }
            continue;
        }
        if (item.kind == DataKind::Number) writeRaw(out, item, clampedRaw(item, sourceValue(item, device, now)));
    }
    return Answer{Answer::Kind::Positive, out};
}

bool SimulatedEcu::deviceRunning(const std::string& name, uint32_t now)
{
    return deviceDrive(name, now) != Drive::None;
}

SimulatedEcu::Drive SimulatedEcu::deviceDrive(const std::string& name, uint32_t now)
{
    settle(now);
    for (const auto& device : devices_) {
        if (device.model->name != name || !device.running) continue;
        return device.temporary ? Drive::Temporary : Drive::Permanent;
    }
    return Drive::None;
}

std::vector<std::string> SimulatedEcu::deviceNames() const
{
    std::vector<std::string> names;
    for (const auto& device : devices_)
        names.push_back(device.model->name);
    return names;
}

double SimulatedEcu::signalValue(const std::string& name, uint32_t now)
{
    for (auto& device : devices_) {
        advanceSignals(device, now);
        for (const auto& signal : device.measures) {
            if (signal.model->name == name) return signal.value;
        }
    }
    return 0.0;
}

}  // namespace TavrinKwp
