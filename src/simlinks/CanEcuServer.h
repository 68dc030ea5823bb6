// The ECU simulator's side of a CAN bus: an ISO-TP endpoint per ECU on the
// ECU's identifiers, each message handed to the simulated ECU and its answers
// sent back, with the ECU's flow-control settings. Faults of the transport can
// be injected (TransportFaults): late and corrupt answers, frames of no known
// type or out of turn, a consecutive frame lost, a flow control late, waiting
// or overflowing.
#pragma once

#include "CanBusPort.h"
#include "IsoTp.h"
#include "KLineEcuServer.h"
#include "TransportFaults.h"
#include "VehicleSimulator.h"

#include <atomic>
#include <vector>

namespace TavrinKwp {

class CanEcuServer {
  public:
    CanEcuServer(VehicleSimulator& simulator, CanBusPort& port, EcuServerOptions options, TransportFaults& faults);

    void run(const std::atomic<bool>& stop);
    void poll(int timeoutMs);

  private:
    struct EcuEnd {
        size_t index;
        IsoTpEndpoint endpoint;
        bool answering = false;   // the first consecutive frame of the answer is still to come
        bool corrupting = false;  // the answer's first frame is to be spoiled
    };
    void beforeAnswer(EcuEnd& end);
    void take(EcuEnd& end);
    void flush(EcuEnd& end);
    void say(const std::string& line) const;

    VehicleSimulator& simulator_;
    CanBusPort& port_;
    EcuServerOptions options_;
    TransportFaults& faults_;
    std::vector<EcuEnd> ends_;
};

}  // namespace TavrinKwp
