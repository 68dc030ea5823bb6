#include "LoggedRequest.h"

#include "Kwp2000Codes.h"

#include <cctype>

namespace TavrinKwp {
namespace {

bool sendsKey(const Bytes& request)
{
    return request.size() > 3 && request[0] == kSecurityAccess && request[1] % 2 == 0;
}

}  // namespace

std::string loggedRequest(const Bytes& request)
{
    if (!sendsKey(request)) return hexText(request);
    std::string text = hexText(Bytes(request.begin(), request.begin() + 3));
    for (size_t i = 3; i < request.size(); ++i)
        text += " **";
    return text;
}

std::string loggedCommand(const std::string& line)
{
    std::string digits;
    for (char c : line) {
        if (!std::isspace(static_cast<unsigned char>(c))) digits += c;
    }
    const auto bytes = parseHex(digits);
    if (!bytes || !sendsKey(*bytes)) return line;
    return loggedRequest(*bytes);
}

}  // namespace TavrinKwp
