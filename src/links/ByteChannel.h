// Bytes to and from a port, for the ECU simulator's side of a line: the
// master end of a pseudo-terminal, or a serial port.
#pragma once

#include "HexText.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace TavrinKwp {

class ByteChannel {
  public:
    virtual ~ByteChannel() = default;
    // Up to max bytes, waiting at most timeoutMs for the first; 0 when none came.
    virtual size_t read(uint8_t* into, size_t max, int timeoutMs) = 0;
    virtual void write(const Bytes& bytes) = 0;
    // What a tester opens to reach this channel.
    virtual std::string peerPath() const = 0;
};

// A new pseudo-terminal; its other end (peerPath) is in raw mode, ready for a tester.
// Throws Sorvik3::Error(SessionError::LinkUnavailable) when the system gives none.
std::unique_ptr<ByteChannel> openPseudoTerminal();
// A serial port at a baud rate, 8N1. Throws Sorvik3::Error(SessionError::LinkUnavailable).
std::unique_ptr<ByteChannel> openSerialChannel(const std::string& port, uint32_t baud);

}  // namespace TavrinKwp
