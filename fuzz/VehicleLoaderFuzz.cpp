// Any bytes as a vehicle description: loaded or refused with the library's
// error, never a crash, a hang or an endless allocation.
#include "Sorvik3.h"
#include "VehicleLoader.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    try {
        TavrinKwp::loadVehicleText(std::string(reinterpret_cast<const char*>(data), size), "fuzz.xml");
    } catch (const Sorvik3::Error&) {
        // a refused file is the expected answer to most inputs
    }
    return 0;
}
