// How the programs print an error of the session library: its number as the
// tables write it (a KWP2000 response code in decimal, the library's own from
// 0x1000 in hex), then its description.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace TavrinApps {

inline std::string errorNumberText(int32_t number)
{
    char text[16];
    std::snprintf(text, sizeof text, number >= 0x1000 ? "0x%04X" : "%d", static_cast<unsigned>(number));
    return text;
}

inline std::string errorText(int32_t number, const std::string& description)
{
    return "error " + errorNumberText(number) + ": " + description;
}

}  // namespace TavrinApps
