#include "FaultInjector.h"

namespace TavrinKwp {

void FaultInjector::failInit(const std::string& ecu, int count)
{
    faults_.push_back({ecu, FaultDescription{FaultDescription::Kind::Init, "", 0, count}});
}

void FaultInjector::answerNegatively(const std::string& ecu, const std::string& request, uint8_t code, int count)
{
    faults_.push_back({ecu, FaultDescription{FaultDescription::Kind::Negative, request, code, count}});
}

void FaultInjector::dropAnswer(const std::string& ecu, const std::string& request, int count)
{
    faults_.push_back({ecu, FaultDescription{FaultDescription::Kind::NoAnswer, request, 0, count}});
}

void FaultInjector::spoilAnswer(const std::string& ecu, const std::string& request, FaultDescription::Kind kind,
                                int count)
{
    faults_.push_back({ecu, FaultDescription{kind, request, 0, count}});
}

void FaultInjector::actThenRefuse(const std::string& ecu, const std::string& request, uint8_t code, int count)
{
    faults_.push_back({ecu, FaultDescription{FaultDescription::Kind::Refused, request, code, count}});
}

void FaultInjector::refuseKey(const std::string& ecu, int count)
{
    faults_.push_back({ecu, FaultDescription{FaultDescription::Kind::WrongKey, "", 0, count}});
}

void FaultInjector::answerSuppressed(const std::string& ecu, const std::string& request, int count)
{
    faults_.push_back({ecu, FaultDescription{FaultDescription::Kind::Suppressed, request, 0, count}});
}

void FaultInjector::clear()
{
    faults_.clear();
}

bool FaultInjector::takeInitFault(const std::string& ecu)
{
    return take(ecu, FaultDescription::Kind::Init, "", false).has_value();
}

bool FaultInjector::takeKeyFault(const std::string& ecu)
{
    return take(ecu, FaultDescription::Kind::WrongKey, "", false).has_value();
}

std::optional<FaultDescription> FaultInjector::takeRequestFault(const std::string& ecu, const std::string& request)
{
    return take(ecu, FaultDescription::Kind::Negative, request, true);
}

std::optional<FaultDescription> FaultInjector::take(const std::string& ecu, FaultDescription::Kind kind,
                                                    const std::string& request, bool anyRequestKind)
{
    for (auto it = faults_.begin(); it != faults_.end(); ++it) {
        const bool kindMatches = anyRequestKind ? it->fault.kind != FaultDescription::Kind::Init &&
                                                      it->fault.kind != FaultDescription::Kind::WrongKey
                                                : it->fault.kind == kind;
        if (it->ecu != ecu || !kindMatches || it->fault.request != request) continue;
        FaultDescription taken = it->fault;
        if (it->fault.count != kAlways && --it->fault.count <= 0) faults_.erase(it);
        return taken;
    }
    return std::nullopt;
}

}  // namespace TavrinKwp
