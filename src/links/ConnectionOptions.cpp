#include "ConnectionOptions.h"

#include "ErrorNumbers.h"
#include "Sorvik3.h"

#include <charconv>

namespace TavrinKwp {
namespace {

uint32_t number(const std::string& text, const std::string& option, const std::string& value)
{
    uint32_t parsed = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), parsed);
    if (error != std::errc() || end != value.data() + value.size() || parsed == 0) {
        refuseConnection(text, option + " must be a positive whole number, not '" + value + "'");
    }
    return parsed;
}

}  // namespace

KLineOptions klineOptions(const std::string& text, const Connection& connection)
{
    KLineOptions options;
    options.port = connection.port;
    for (const auto& [key, value] : connection.options) {
        if (key == "baud")
            options.baud = number(text, key, value);
        else if (key == "echo" && (value == "0" || value == "1"))
            options.echo = value == "1";
        else if (key == "echo")
            refuseConnection(text, "echo is 0 or 1, not '" + value + "'");
        else
            refuseConnection(text, "unknown option '" + key + "'");
    }
    return options;
}

Connection parseConnection(const std::string& text)
{
    Connection connection;
    if (text.empty() || text == "sim") {
        connection.kind = "sim";
        return connection;
    }
    const auto colon = text.find(':');
    if (colon == std::string::npos || colon == 0) refuseConnection(text, "unknown kind of link");
    connection.kind = text.substr(0, colon);
    const std::string rest = text.substr(colon + 1);
    const auto question = rest.find('?');
    connection.port = rest.substr(0, question);
    if (connection.port.empty()) refuseConnection(text, "no port");
    if (question == std::string::npos) return connection;
    std::string query = rest.substr(question + 1);
    size_t start = 0;
    while (start <= query.size()) {
        const auto amp = query.find('&', start);
        const std::string pair = query.substr(start, amp == std::string::npos ? std::string::npos : amp - start);
        const auto equals = pair.find('=');
        if (pair.empty() || equals == std::string::npos || equals == 0)
            refuseConnection(text, "option '" + pair + "' is no NAME=VALUE");
        connection.options[pair.substr(0, equals)] = pair.substr(equals + 1);
        if (amp == std::string::npos) break;
        start = amp + 1;
    }
    return connection;
}

CanOptions canOptions(const std::string& text, const Connection& connection)
{
    const auto colon = connection.port.find(':');
    if (colon == std::string::npos || colon == 0 || colon + 1 == connection.port.size())
        refuseConnection(text, "a CAN link is can:PLUGIN:INTERFACE");
    CanOptions options = canBusOptions(text, connection);
    options.plugin = connection.port.substr(0, colon);
    options.interface = connection.port.substr(colon + 1);
    return options;
}

CanOptions canBusOptions(const std::string& text, const Connection& connection)
{
    CanOptions options;
    for (const auto& [key, value] : connection.options) {
        if (key != "bitrate") refuseConnection(text, "unknown option '" + key + "'");
        number(text, key, value);
        options.device[key] = value;
    }
    return options;
}

ElmOptions elmOptions(const std::string& text, const Connection& connection)
{
    ElmOptions options;
    options.port = connection.port;
    for (const auto& [key, value] : connection.options) {
        if (key == "baud") {
            options.baud = number(text, key, value);
        } else if (key == "bitrate") {
            options.bitrate = number(text, key, value);
        } else if (key == "protocol") {
            if (value != "auto" && value != "kline" && value != "can")
                refuseConnection(text, "protocol is auto, kline or can, not '" + value + "'");
            options.protocol = value == "kline" ? ElmOptions::Protocol::KLine
                               : value == "can" ? ElmOptions::Protocol::Can
                                                : ElmOptions::Protocol::Auto;
        } else {
            refuseConnection(text, "unknown option '" + key + "'");
        }
    }
    return options;
}

}  // namespace TavrinKwp
