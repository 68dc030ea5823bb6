// The ECU simulator's side of a CAN bus: an ISO-TP endpoint per ECU on the
// ECU's identifiers, each message handed to the simulated ECU and its answers
// sent back, with the ECU's flow-control settings. Faults of the transport can
// be injected: a consecutive frame lost, a flow control late, an overflow.
#pragma once

#include "CanBusPort.h"
#include "IsoTp.h"
#include "KLineEcuServer.h"
#include "VehicleSimulator.h"

#include <atomic>
#include <vector>

namespace Sorvik3Sim {

// How many times each transport fault happens from now on.
struct CanFaults {
    std::atomic<int> lostConsecutive{0};  // the first consecutive frame of an answer is not sent
    std::atomic<int> lateFlowControl{0};  // the flow control to a request comes after N_Bs
    std::atomic<int> overflow{0};         // a long request is refused with a flow-control overflow
};

class CanEcuServer {
  public:
    CanEcuServer(VehicleSimulator& simulator, CanBusPort& port, EcuServerOptions options, CanFaults& faults);

    void run(const std::atomic<bool>& stop);
    void poll(int timeoutMs);

  private:
    struct EcuEnd {
        size_t index;
        IsoTpEndpoint endpoint;
        bool answering = false;  // the first consecutive frame of the answer is still to come
    };
    void take(EcuEnd& end);
    void flush(EcuEnd& end);
    void say(const std::string& line) const;

    VehicleSimulator& simulator_;
    CanBusPort& port_;
    EcuServerOptions options_;
    CanFaults& faults_;
    std::vector<EcuEnd> ends_;
};

}  // namespace Sorvik3Sim
