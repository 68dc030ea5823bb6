// Linked into a program (the tests, the benchmarks), sim and the loopbacks are
// there before main, as the demo and the runner have them.
#include "SimulatedVehicle.h"

namespace {

[[maybe_unused]] const bool registered = [] {
    TavrinKwp::registerSimulatedLinks();
    return true;
}();

}  // namespace
