// How the adapter is set up for an ECU: the protocol (K-line or CAN at the
// bus's bit rate), the header, the receive filter, the flow control and the
// timeout, from the vehicle description.
#include "ElmLink.h"

#include "ElmReplies.h"
#include "ErrorNumbers.h"
#include "Sorvik3.h"

namespace TavrinKwp {

std::string ElmLink::protocolName(const EcuDescription& ecu) const
{
    if (!usesCan(ecu)) return "ISO 14230-4 (KWP2000 on the K-line, fast initialisation, 10400 baud)";
    return std::string("ISO 15765-4 (CAN, ") + (ecu.can->extendedIds ? "29" : "11") + "-bit identifiers, " +
           std::to_string(options_.bitrate / 1000) + " kbit/s)";
}

std::string ElmLink::protocolCode(const EcuDescription& ecu) const
{
    if (!usesCan(ecu)) return "5";
    const bool extended = ecu.can->extendedIds;
    if (options_.bitrate == 500000) return extended ? "7" : "6";
    if (options_.bitrate == 250000) return extended ? "9" : "8";
    return "B";
}

void ElmLink::setProtocol(const EcuDescription& ecu)
{
    const std::string code = protocolCode(ecu);
    if (code == "B") {
        // User protocol B: identifier length and fixed 8 data bytes, then 500 kbit/s divided.
        const uint32_t divisor = 500000 / options_.bitrate;
        if (divisor == 0 || divisor > 64 || 500000 % options_.bitrate != 0) {
            throw sessionError(SessionError::BadConnection,
                               "An ELM327 runs CAN at 500 kbit/s divided by 1 to 64, not at " +
                                   std::to_string(options_.bitrate) + " bit/s");
        }
        set("ATPB" + std::string(ecu.can->extendedIds ? "00" : "80") + hexDigits(divisor, 2));
    }
    set("ATSP" + code);
}

void ElmLink::configure(const EcuDescription& ecu)
{
    if (configured_ == &ecu) return;
    configured_ = nullptr;
    setProtocol(ecu);
    if (usesCan(ecu))
        configureCan(ecu);
    else
        configureKLine(ecu);
    configured_ = &ecu;
}

void ElmLink::configureCan(const EcuDescription& ecu)
{
    const CanSettings& can = *ecu.can;
    set("ATCAF1", false);
    if (can.extendedIds) {
        set("ATCP" + hexDigits(can.requestId >> 24 & 0x1F, 2));
        set("ATSH" + hexDigits(can.requestId & 0xFFFFFF, 6));
        set("ATCRA" + hexDigits(can.responseId, 8));
    } else {
        set("ATSH" + hexDigits(can.requestId, 3));
        set("ATCRA" + hexDigits(can.responseId, 3));
    }
    // The adapter's flow control carries the block size and STmin of the description.
    const std::string id = hexDigits(can.requestId, can.extendedIds ? 8 : 3);
    if (set("ATFCSH" + id, false)) {
        set("ATFCSD30" + hexDigits(can.blockSize, 2) + hexDigits(can.stMin, 2), false);
        set("ATFCSM1", false);
    }
    set(timeoutCommand(can.p2Max));
}

void ElmLink::configureKLine(const EcuDescription& ecu)
{
    // Physical addressing; the adapter writes the length into the format byte.
    set("ATSH80" + hexDigits(ecu.address, 2) + hexDigits(ecu.testerAddress, 2));
    // The adapter's own keep-alive is off: the control's tester present keeps the session.
    set("ATSW00", false);
    set(timeoutCommand(ecu.kline.timing.p2Max));
}

}  // namespace TavrinKwp
