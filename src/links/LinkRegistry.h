// Links come from makers registered under the connection string's scheme
// ("kline"), or under a scheme and one port of it ("kline:loopback") for a port
// that means something else: the session library opens whatever is registered
// and knows no kind of link itself. The real links (kline, can, elm) are always
// there; the simulated vehicle adds sim and the loopbacks when a program asks.
#pragma once

#include <TavrinKwpSession/Connection.h>
#include <TavrinKwpSession/Link.h>
#include <TavrinKwpSession/SessionClock.h>
#include <TavrinKwpSession/VehicleModel.h>

#include <functional>
#include <memory>
#include <string>

namespace TavrinKwp {

// What stands at the other end of a link when this process serves it itself
// (the simulated vehicle); a link to a real vehicle has none.
class LinkPeer {
  public:
    virtual ~LinkPeer() = default;
    // The session's clock from now on: a scripted run moves both ends together.
    virtual void useClock(const SessionClock& clock) = 0;
};

struct OpenedLink {
    std::shared_ptr<Link> link;
    std::shared_ptr<LinkPeer> peer;  // null on a link to a real vehicle
};

struct LinkKind {
    // Opens nothing yet on a line: a port is opened when the first ECU is started.
    std::function<OpenedLink(const std::string& text, const Connection& connection,
                             std::shared_ptr<const VehicleDescription> vehicle)>
        open;
    // Throws Sorvik3::Error(SessionError::BadConnection) for an option it does not take.
    std::function<void(const std::string& text, const Connection& connection)> check;
    // How its connection strings are written, for the words of a refusal ("kline:PORT?baud=N").
    std::string usage;
};

// Registers a kind of link under "scheme" or "scheme:port", replacing one of that key.
void registerLink(const std::string& key, LinkKind kind);
// Throws Sorvik3::Error(SessionError::BadConnection) for a connection no registered kind takes.
OpenedLink openLink(const std::string& text, std::shared_ptr<const VehicleDescription> vehicle);
// The same checks, opening nothing.
void checkConnection(const std::string& text);
// Throws Sorvik3::Error(SessionError::BadConnection) for a kind's check: the
// connection, why, and how the connection strings of every registered kind are written.
[[noreturn]] void refuseConnection(const std::string& text, const std::string& why);

}  // namespace TavrinKwp
