#include "Kwp2000Frame.h"

#include "ErrorNumbers.h"
#include "Sorvik3.h"

namespace TavrinKwp {
namespace {

constexpr uint8_t kPhysical = 0x80;
constexpr uint8_t kFunctional = 0xC0;
constexpr uint8_t kAddressMode = 0xC0;
constexpr uint8_t kLengthBits = 0x3F;

}  // namespace

HeaderForm headerFormFromKeyByte(uint8_t keyByte1)
{
    HeaderForm form;
    form.lengthInFormat = (keyByte1 & 0x01) != 0;
    form.lengthByte = (keyByte1 & 0x02) != 0;
    // HB0 alone: the ECU takes only headers without addresses.
    form.addresses = (keyByte1 & 0x08) != 0 || (keyByte1 & 0x04) == 0;
    if (!form.lengthInFormat && !form.lengthByte) form.lengthInFormat = true;
    return form;
}

uint8_t checksum(const Bytes& bytes)
{
    unsigned sum = 0;
    for (uint8_t b : bytes)
        sum += b;
    return static_cast<uint8_t>(sum & 0xFF);
}

Bytes encodeFrame(const Frame& frame, const HeaderForm& form)
{
    const size_t length = frame.data.size();
    if (length == 0 || length > kMaxFrameData) {
        throw sessionError(SessionError::BadFrame,
                           "A K-line frame carries 1 to 255 bytes, not " + std::to_string(length));
    }
    const bool inFormat = length <= kLengthBits && (form.lengthInFormat || !form.lengthByte);
    if (!inFormat && !form.lengthByte) {
        throw sessionError(SessionError::BadFrame, "The ECU takes no length byte, and " + std::to_string(length) +
                                                       " bytes do not fit the format byte");
    }
    const bool addressed = frame.addressed && form.addresses;
    Bytes out;
    out.reserve(length + 5);
    const uint8_t mode = addressed ? (frame.functional ? kFunctional : kPhysical) : 0;
    out.push_back(static_cast<uint8_t>(mode | (inFormat ? length : 0)));
    if (addressed) {
        out.push_back(frame.target);
        out.push_back(frame.source);
    }
    if (!inFormat) out.push_back(static_cast<uint8_t>(length));
    out.insert(out.end(), frame.data.begin(), frame.data.end());
    out.push_back(checksum(out));
    return out;
}

std::optional<size_t> frameSize(const uint8_t* bytes, size_t available)
{
    if (available == 0) return std::nullopt;
    const uint8_t format = bytes[0];
    // Mode 01 is the exception mode of the older standard: not a frame here.
    if ((format & kAddressMode) == 0x40) return 0;
    size_t header = (format & kAddressMode) == 0 ? 1 : 3;
    size_t length = format & kLengthBits;
    if (length == 0) {
        if (available <= header) return std::nullopt;
        length = bytes[header];
        if (length == 0) return 0;
        ++header;
    }
    return header + length + 1;
}

std::optional<Frame> decodeFrame(const Bytes& bytes)
{
    const auto size = frameSize(bytes.data(), bytes.size());
    if (!size || *size == 0 || bytes.size() != *size) return std::nullopt;
    if (checksum(Bytes(bytes.begin(), bytes.end() - 1)) != bytes.back()) return std::nullopt;
    Frame frame;
    frame.addressed = (bytes[0] & kAddressMode) != 0;
    frame.functional = (bytes[0] & kAddressMode) == kFunctional;
    size_t header = 1;
    if (frame.addressed) {
        frame.target = bytes[1];
        frame.source = bytes[2];
        header = 3;
    }
    if ((bytes[0] & kLengthBits) == 0) ++header;
    frame.data.assign(bytes.begin() + static_cast<long>(header), bytes.end() - 1);
    return frame;
}

}  // namespace TavrinKwp
