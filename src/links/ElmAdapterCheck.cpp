// The adapter check: what the adapter is, the voltage it reads at the
// vehicle's connector, and whether it takes what the vehicle's ECUs need.
#include "ElmLink.h"

#include "ElmReplies.h"
#include "Sorvik3.h"

#include <map>

namespace TavrinKwp {
namespace {

std::string consequenceOfRefusing(const std::string& command)
{
    if (command.rfind("ATFCS", 0) == 0)
        return "the adapter's own flow control is used (block size 0, STmin 0), not the description's";
    if (command == "ATSW00") return "its own keep-alive may run beside the control's tester present";
    if (command == "ATCAF1") return "it may not format ISO-TP messages itself";
    if (command == "ATL0" || command == "ATS0") return "harmless: the link reads either form";
    if (command == "STPX") return "long CAN requests are sent frame by frame, as on an ELM327";
    return "the link goes on without it";
}

}  // namespace

std::vector<std::string> ElmLink::checkAdapter(const VehicleDescription& vehicle)
{
    open();
    std::vector<std::string> report;
    report.push_back("adapter: " + identity_.identity + " on '" + options_.port + "' at " +
                     std::to_string(identity_.baud) + " baud");
    if (identity_.stn())
        report.push_back("chip: STN (" + identity_.device + "): long CAN requests go whole (STPX)");
    else if (!identity_.claimedDevice.empty())
        report.push_back("chip: names itself an STN (" + identity_.claimedDevice +
                         ") but refuses STPX: long CAN requests are sent frame by frame");
    else
        report.push_back("chip: not an STN (STI refused): long CAN requests are sent frame by frame");
    const auto voltage = command("ATRV", 1000);
    const bool read = !voltage.empty() && !adapterProblem(voltage.back());
    report.push_back(read ? "battery: " + voltage.back() : "battery: not read (the adapter refuses ATRV)");
    // Each protocol once, tried with the settings of its first ECU.
    std::map<std::string, std::vector<const EcuDescription*>> byProtocol;
    for (const auto& ecu : vehicle.ecus)
        byProtocol[protocolName(ecu)].push_back(&ecu);
    for (const auto& [protocol, ecus] : byProtocol) {
        std::string names;
        for (const auto* ecu : ecus)
            names += (names.empty() ? "" : ", ") + ecu->name;
        configured_ = nullptr;
        try {
            configure(*ecus.front());
            report.push_back("protocol " + protocol + " for " + names + ": the adapter takes it");
        } catch (const Sorvik3::Error& error) {
            if (!port_) throw;  // the adapter itself is gone
            report.push_back("protocol " + protocol + " for " + names + ": NOT taken (" + error.description() + ")");
        }
    }
    configured_ = nullptr;
    for (const auto& refused : refused_)
        report.push_back("refuses " + refused + ": " + consequenceOfRefusing(refused));
    return report;
}

}  // namespace TavrinKwp
