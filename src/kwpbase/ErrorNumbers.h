// Error numbers of the session library. A negative answer of an ECU
// carries its KWP2000 response code as the number (1 to 255); the library's own
// failures are numbered from 0x1000 so a host can tell the two apart.
#pragma once

#include <TavrinIoCtl/Sorvik3.h>

#include <cstdint>
#include <string>

namespace TavrinKwp {

enum class SessionError : int32_t {
    NoAnswer = 0x1001,
    UnknownName = 0x1002,
    LinkNotOpen = 0x1003,
    BadFrame = 0x1004,
    TooManyPending = 0x1005,
    ValueOutOfRange = 0x1006,
    NotNumeric = 0x1007,
    NotWritable = 0x1008,
    BadDescription = 0x1010,
    LinkUnavailable = 0x1011,   // the port or interface cannot be opened
    BusCollision = 0x1012,      // the echo differs from what was sent
    BadConnection = 0x1013,     // a connection string that names no link
    NotSimulated = 0x1014,      // asked for the simulated ECU on a link to a real one
    TransportTimeout = 0x1015,  // ISO-TP: N_As, N_Bs or N_Cr passed
    TransportError = 0x1016,    // ISO-TP: a frame that breaks the protocol, an overflow, a message too long
    LinkBusy = 0x1017,          // a call finished before it was over, or twice
    Interrupted = 0x1018,       // the wait through "response pending" was given up on request
    MaybeLateAnswer = 0x1019,   // a refusal that may answer an earlier request left without an answer
    KeyPlugin = 0x101A,         // no key plug-in, or one that failed to load, threw or gave no key
    ControlReturned = Sorvik3::kControlTakenBackByEcu,  // the ECU left the session output control was lent in
};

constexpr int32_t number(SessionError error)
{
    return static_cast<int32_t>(error);
}

// What the number means, in a few words; empty for a number that is not the library's own.
const char* meaning(SessionError error);

// The error to throw: the number and the whole text, which says what failed.
inline Sorvik3::Error sessionError(SessionError error, const std::string& text)
{
    return Sorvik3::Error(number(error), text);
}

}  // namespace TavrinKwp
