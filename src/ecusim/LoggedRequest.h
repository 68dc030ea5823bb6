// A request as the simulators write it in their logs: a SecurityAccess key is
// never written in full, on either side of the line.
#pragma once

#include <TavrinKwpSession/HexText.h>

#include <string>

namespace TavrinKwp {

// The request's hex text, the bytes of a key sent (27, even level) hidden but the first.
std::string loggedRequest(const Bytes& request);
// The same for an adapter command line of hex digits ("2702A1B2C3D4").
std::string loggedCommand(const std::string& line);

}  // namespace TavrinKwp
