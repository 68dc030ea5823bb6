// The connection strings that name a link, the same in every program:
//   sim                         the simulated vehicle in this process (the default)
//   kline:PORT[?baud=N&echo=0|1] a K-line interface on a serial port
//   kline:loopback              the simulated vehicle served on a pseudo-terminal
//                               in this process, reached through the K-line link
//   can:PLUGIN:INTERFACE[?bitrate=N]  a CAN interface through Qt Serial Bus
//   can:loopback                the simulated vehicle served on the virtual CAN bus
//                               by this process, reached through the CAN link
//   elm:PORT[?baud=N&bitrate=N&protocol=auto|kline|can]  an ELM327-compatible
//                               adapter (or an STN one) on a serial port
//   elm:loopback[?chip=elm|stn] the simulated vehicle behind an emulated adapter
//                               on a pseudo-terminal, reached through the ELM link
#pragma once

#include <map>
#include <string>

namespace TavrinKwp {

struct Connection {
    std::string kind;  // "sim", "kline", "can" or "elm"
    std::string port;
    std::map<std::string, std::string> options;
};

// Throws Sorvik3::Error(SessionError::BadConnection) saying what is wrong.
Connection parseConnection(const std::string& text);
// The same, with the options and their values checked, opening nothing.
void checkConnection(const std::string& text);

}  // namespace TavrinKwp
