// The services of a UDS ECU (ISO 14229-1) as the simulated vehicle answers them:
// DiagnosticSessionControl with its timing, TesterPresent, SecurityAccess with
// the example key algorithm, InputOutputControlByIdentifier with an optional
// controlEnableMask, and ReadDataByIdentifier of the controlled identifiers.
#include "SimulatedEcu.h"

#include "DataCodec.h"
#include "ExampleKeyAlgorithm.h"
#include "Kwp2000Codes.h"

#include <algorithm>
#include <utility>

namespace TavrinKwp {
namespace {

// inputOutputControlParameter of service 0x2F.
constexpr uint8_t kResetToDefault = 0x01;
constexpr uint8_t kFreezeCurrentState = 0x02;
constexpr uint8_t kShortTermAdjustment = 0x03;

uint16_t dataIdentifier(const Bytes& data)
{
    return static_cast<uint16_t>(data[1] << 8 | data[2]);
}

}  // namespace

std::vector<SimulatedEcu::DeviceState*> SimulatedEcu::devicesOf(uint16_t dataId, std::optional<uint8_t> mask)
{
    std::vector<DeviceState*> found;
    for (auto& device : devices_) {
        if (device.model->dataId != dataId) continue;
        if (mask && device.model->controlMask != 0 && (*mask & device.model->controlMask) == 0) continue;
        found.push_back(&device);
    }
    return found;
}

// 50 session P2 (ms, two bytes) P2* (10 ms units, two bytes): the tester takes its timing from them.
std::optional<Answer> SimulatedEcu::udsSession(const RequestDescription& request, const Bytes& data, Bytes& timing)
{
    const uint8_t wanted = data[1] & static_cast<uint8_t>(~kSuppressPositiveResponse);
    const bool known = std::any_of(model_.sessions.begin(), model_.sessions.end(),
                                   [wanted](const SessionDescription& s) { return s.id == wanted; });
    if (!known) return negative(request.service, kSubFunctionNotSupported);
    // Every session transition locks the ECU again; into the default one it takes its outputs back.
    endSession();
    if (wanted == defaultSession_) {
        for (auto& device : devices_) {
            if (device.running) stopDevice(device, lastRequest_);
        }
    }
    session_ = wanted;
    sessionActive_ = wanted != defaultSession_;
    const uint32_t p2 = model_.can ? model_.can->p2Max : model_.kline.timing.p2Max;
    const uint32_t p2Extended = (model_.can ? model_.can->p2Extended : model_.kline.timing.p2Extended) / 10;
    timing = {static_cast<uint8_t>(p2 >> 8), static_cast<uint8_t>(p2), static_cast<uint8_t>(p2Extended >> 8),
              static_cast<uint8_t>(p2Extended)};
    return std::nullopt;
}

std::optional<Answer> SimulatedEcu::udsSecurity(const Bytes& data, uint32_t now, Bytes& out)
{
    const uint8_t level = data[1];
    if (!model_.security || (level != model_.security->level && level != model_.security->level + 1))
        return negative(kSecurityAccess, kSubFunctionNotSupported);
    if (!sessionActive_) return negative(kSecurityAccess, kServiceNotSupportedInActiveSession);
    if (lockedAt_ && now - *lockedAt_ < model_.security->delayMs)
        return negative(kSecurityAccess, kRequiredTimeDelayNotExpired);
    lockedAt_.reset();
    if (level == model_.security->level) {
        if (data.size() != 2) return negative(kSecurityAccess, kIncorrectMessageLength);
        // An ECU already unlocked answers a seed of zeros.
        seed_ = unlocked_ ? Bytes(4, 0)
                          : Bytes{static_cast<uint8_t>(0x12 + seedCounter_), static_cast<uint8_t>(now),
                                  static_cast<uint8_t>(now >> 8), 0xA5};
        ++seedCounter_;
        out = seed_;
        return std::nullopt;
    }
    if (seed_.empty() || unlocked_) return negative(kSecurityAccess, kRequestSequenceError);
    Bytes expected = exampleSecurityKey(model_.security->level, seed_);
    if (std::exchange(wrongKey_, false)) expected[0] ^= 0xFF;
    seed_.clear();
    if (Bytes(data.begin() + 2, data.end()) != expected) {
        if (++wrongKeys_ < model_.security->attempts) return negative(kSecurityAccess, kInvalidKey);
        wrongKeys_ = 0;
        lockedAt_ = now;
        return negative(kSecurityAccess, kExceededNumberOfAttempts);
    }
    wrongKeys_ = 0;
    unlocked_ = true;
    return std::nullopt;
}

std::optional<Answer> SimulatedEcu::udsControl(const RequestDescription& request, const Bytes& data, uint32_t now,
                                               DeviceState*& first)
{
    if (data.size() < 4) return negative(request.service, kIncorrectMessageLength);
    auto all = devicesOf(dataIdentifier(data), std::nullopt);
    if (all.empty()) return negative(request.service, kRequestOutOfRange);
    const bool masked = std::any_of(all.begin(), all.end(), [](auto* d) { return d->model->controlMask != 0; });
    // The controlEnableMask, where the identifier carries several outputs, ends the request.
    auto devices = masked ? devicesOf(dataIdentifier(data), data.back()) : all;
    if (devices.empty()) return negative(request.service, kRequestOutOfRange);
    first = devices.front();
    if (model_.controlNeedsSession && !sessionActive_)
        return negative(request.service, kServiceNotSupportedInActiveSession);
    const bool locked = std::any_of(devices.begin(), devices.end(), [](auto* d) { return d->model->needsSecurity; });
    if (locked && !unlocked_) return negative(request.service, kSecurityAccessDenied);
    const uint8_t option = data[3];
    if (option == kReturnControlToEcu || option == kResetToDefault) {
        for (auto* device : devices) {
            if (device->running) stopDevice(*device, now);
        }
        return std::nullopt;
    }
    if (option == kFreezeCurrentState) return std::nullopt;
    if (option != kShortTermAdjustment) return negative(request.service, kRequestOutOfRange);
    // Outputs of one identifier that work against each other (a window up and down) never run together.
    for (auto* other : all) {
        if (other->running && std::find(devices.begin(), devices.end(), other) == devices.end())
            return negative(request.service, kConditionsNotCorrect);
    }
    for (auto* device : devices) {
        if (device->model->refuseCode) return negative(request.service, *device->model->refuseCode);
    }
    // Control lent to the tester lasts as long as the session: it is always "temporary".
    for (auto* device : devices)
        startDevice(*device, request, data, now, true);
    return std::nullopt;
}

Answer SimulatedEcu::handleUds(const RequestDescription& request, const Bytes& data, uint32_t now)
{
    DeviceState* device = nullptr;
    std::optional<Answer> refused;
    Bytes extra;
    if (data.size() < 2 && request.service != kReadDataByCommonId) {
        refused = negative(request.service, kIncorrectMessageLength);
    } else if (request.service == kStartDiagnosticSession) {
        refused = udsSession(request, data, extra);
    } else if (request.service == kSecurityAccess) {
        refused = udsSecurity(data, now, extra);
    } else if (request.service == kIoControlByCommonId) {
        refused = udsControl(request, data, now, device);
    } else if (request.service == kReadDataByCommonId) {
        if (data.size() != 3) {
            refused = negative(request.service, kIncorrectMessageLength);
        } else {
            auto devices = devicesOf(dataIdentifier(data), std::nullopt);
            if (!devices.empty()) device = devices.front();
        }
    } else if (request.service == kTesterPresent && (data[1] & 0x7F) != 0) {
        refused = negative(request.service, kSubFunctionNotSupported);
    }
    lastRequest_ = now;
    if (refused) return *refused;
    // The answer echoes the sub-function without its suppress bit.
    if (request.service == kTesterPresent || request.service == kSecurityAccess ||
        request.service == kStartDiagnosticSession) {
        Bytes out{static_cast<uint8_t>(request.service + kPositiveOffset),
                  static_cast<uint8_t>(data[1] & ~kSuppressPositiveResponse)};
        out.insert(out.end(), extra.begin(), extra.end());
        return Answer{Answer::Kind::Positive, out};
    }
    Answer answer = positive(request, data, device, now);
    if (device && device->model->controlMask != 0) {
        // The state of a masked identifier is the mask bits of the outputs that run.
        uint8_t bits = 0;
        for (auto* each : devicesOf(device->model->dataId, std::nullopt))
            bits |= each->running ? each->model->controlMask : 0;
        for (const auto& item : request.items) {
            if (!item.inResponse || item.source.kind != ResponseSource::Kind::DeviceState) continue;
            // The ECU answers the state byte whole, whichever output's bits the description reads.
            DataDescription whole = item;
            whole.bitMask = 0;
            writeRaw(answer.data, whole, bits);
        }
    }
    return answer;
}

}  // namespace TavrinKwp
