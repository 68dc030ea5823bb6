// A connection string cut into its parts: SCHEME:PORT[?NAME=VALUE&...], or
// "sim" (also the empty string) for the simulated vehicle. Which schemes and
// options mean something is the link registry's business (LinkRegistry.h):
//   kline:PORT[?baud=N&echo=0|1]  a K-line interface on a serial port
//   can:PLUGIN:INTERFACE[?bitrate=N]  a CAN interface through Qt Serial Bus
//   elm:PORT[?baud=N&bitrate=N&protocol=auto|kline|can]  an ELM327-compatible
//                                 adapter (or an STN one) on a serial port
// and, from the simulated vehicle: sim, kline:loopback, can:loopback and
// elm:loopback[?chip=elm|stn] (docs/links.md).
#pragma once

#include <map>
#include <string>

namespace TavrinKwp {

struct Connection {
    std::string kind;  // the scheme: "sim", "kline", "can", "elm", ...
    std::string port;
    std::map<std::string, std::string> options;
};

// Throws Sorvik3::Error(SessionError::BadConnection) for text that is no
// connection string at all (no scheme, no port, an option without a value).
Connection parseConnection(const std::string& text);

}  // namespace TavrinKwp
