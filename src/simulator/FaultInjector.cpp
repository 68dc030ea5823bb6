#include "FaultInjector.h"

namespace Sorvik3Sim {

void FaultInjector::failInit(const std::string& ecu, int count)
{
    faults_.push_back({ecu, FaultSpec{FaultSpec::Kind::Init, "", 0, count}});
}

void FaultInjector::answerNegatively(const std::string& ecu, const std::string& request, uint8_t code, int count)
{
    faults_.push_back({ecu, FaultSpec{FaultSpec::Kind::Negative, request, code, count}});
}

void FaultInjector::dropAnswer(const std::string& ecu, const std::string& request, int count)
{
    faults_.push_back({ecu, FaultSpec{FaultSpec::Kind::NoAnswer, request, 0, count}});
}

void FaultInjector::clear()
{
    faults_.clear();
}

bool FaultInjector::takeInitFault(const std::string& ecu)
{
    return take(ecu, FaultSpec::Kind::Init, "", false).has_value();
}

std::optional<FaultSpec> FaultInjector::takeRequestFault(const std::string& ecu, const std::string& request)
{
    return take(ecu, FaultSpec::Kind::Negative, request, true);
}

std::optional<FaultSpec> FaultInjector::take(const std::string& ecu, FaultSpec::Kind kind, const std::string& request,
                                             bool anyRequestKind)
{
    for (auto it = faults_.begin(); it != faults_.end(); ++it) {
        const bool kindMatches = anyRequestKind ? it->fault.kind != FaultSpec::Kind::Init : it->fault.kind == kind;
        if (it->ecu != ecu || !kindMatches || it->fault.request != request) continue;
        FaultSpec taken = it->fault;
        if (it->fault.count != kAlways && --it->fault.count <= 0) faults_.erase(it);
        return taken;
    }
    return std::nullopt;
}

}  // namespace Sorvik3Sim
