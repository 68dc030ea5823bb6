// The example key plug-in: the simulated vehicle's algorithm behind the one C
// function every key plug-in exports. A maker's plug-in has this shape.
#include "ExampleKeyAlgorithm.h"
#include "TavrinSecurityKey.h"

extern "C" __attribute__((visibility("default"))) unsigned int
tavrin_security_key(unsigned int level, const unsigned char* seed, unsigned int seedLength, unsigned char* key,
                    unsigned int keyCapacity)
{
    if (seed == nullptr || key == nullptr || seedLength == 0 || seedLength > keyCapacity) return 0;
    const auto computed = TavrinKwp::exampleSecurityKey(level, std::vector<uint8_t>(seed, seed + seedLength));
    for (unsigned int i = 0; i < seedLength; ++i)
        key[i] = computed[i];
    return seedLength;
}
