// Faults that the simulated line and ECUs produce on purpose: an initialisation
// that fails, a request answered negatively, a request that gets no answer.
// Each fault holds once, N times or always; the description file seeds them.
#pragma once

#include <TavrinKwpSession/VehicleModel.h>

#include <optional>
#include <string>
#include <vector>

namespace TavrinKwp {

class FaultInjector {
  public:
    static constexpr int kAlways = -1;

    void failInit(const std::string& ecu, int count = kAlways);
    void answerNegatively(const std::string& ecu, const std::string& request, uint8_t code, int count = kAlways);
    void dropAnswer(const std::string& ecu, const std::string& request, int count = kAlways);
    // The ECU acts on the request and its answer goes wrong: kind is Lost, Late, Cut or Stale.
    void spoilAnswer(const std::string& ecu, const std::string& request, FaultDescription::Kind kind,
                     int count = kAlways);
    // The ECU acts on the request and then answers it negatively with code.
    void actThenRefuse(const std::string& ecu, const std::string& request, uint8_t code, int count = kAlways);
    // The ECU expects another key than the algorithm gives: its SecurityAccess refuses the key sent.
    void refuseKey(const std::string& ecu, int count = kAlways);
    // The ECU answers a request that asked for no positive answer (TesterPresent 3E 80).
    void answerSuppressed(const std::string& ecu, const std::string& request, int count = kAlways);
    void clear();

    // Consumes one occurrence of the first fault that applies, if any.
    bool takeInitFault(const std::string& ecu);
    bool takeKeyFault(const std::string& ecu);
    std::optional<FaultDescription> takeRequestFault(const std::string& ecu, const std::string& request);

  private:
    struct Active {
        std::string ecu;
        FaultDescription fault;
    };
    std::optional<FaultDescription> take(const std::string& ecu, FaultDescription::Kind kind,
                                         const std::string& request, bool anyKind);
    std::vector<Active> faults_;
};

}  // namespace TavrinKwp
