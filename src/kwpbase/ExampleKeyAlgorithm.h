// The example SecurityAccess algorithm of the simulated vehicle, shipped as the
// key plug-in "tavrin-example-key" and known to the simulated ECUs. It is ours and
// deliberately weak: it shows a plug-in's shape, it protects nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace TavrinKwp {

inline std::vector<uint8_t> exampleSecurityKey(unsigned level, const std::vector<uint8_t>& seed)
{
    static constexpr uint8_t kMask[] = {0x5A, 0x3C, 0x96, 0xE1};
    std::vector<uint8_t> key(seed.size());
    for (std::size_t i = 0; i < seed.size(); ++i) {
        const auto mixed = static_cast<uint8_t>(seed[i] ^ kMask[i % 4] ^ level);
        key[i] = static_cast<uint8_t>(((mixed << 3) | (mixed >> 5)) + i);
    }
    return key;
}

}  // namespace TavrinKwp
