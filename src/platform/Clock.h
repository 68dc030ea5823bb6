// The 32-bit millisecond clock the sequence is timed by. It wraps after about
// 49.7 days, so elapsed times are always taken modulo 2^32.
#pragma once

#include <cstdint>
#include <functional>

namespace TavrinPlatform {

using ClockFunction = std::function<uint32_t()>;

uint32_t systemMilliseconds();

// Correct across the wrap-around as long as the span is under 2^32 ms.
inline uint32_t elapsedMs(uint32_t now, uint32_t since)
{
    return now - since;
}

}  // namespace TavrinPlatform
