#include "EcuPing.h"

#include <algorithm>

namespace TavrinKwp {

size_t PingReport::answering() const
{
    return static_cast<size_t>(std::count_if(ecus.begin(), ecus.end(), [](const auto& e) { return e.error == 0; }));
}

PingReport pingEcus(Sorvik3::Session& session, const std::function<void(const std::string&)>& before,
                    const std::function<void(const EcuAnswer&)>& after, const std::atomic<bool>* cancel)
{
    PingReport report;
    for (const auto& ecu : session.Ecus()) {
        if (cancel && *cancel) {
            report.cancelled = true;
            break;
        }
        if (before) before(ecu->Name());
        EcuAnswer answer;
        answer.ecu = ecu->Name();
        answer.id = ecu->Id();
        try {
            ecu->Init();
        } catch (const Sorvik3::Error& error) {
            answer.error = error.number();
            answer.why = error.description();
        }
        report.ecus.push_back(answer);
        if (after) after(answer);
    }
    try {
        session.StopCommunication();
    } catch (const Sorvik3::Error& error) {
        report.closing = error;
    }
    return report;
}

}  // namespace TavrinKwp
