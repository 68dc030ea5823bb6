#include "VehicleCheck.h"

#include "DeviceSelectionState.h"
#include "Utils.h"
#include "ioctlAutomation.h"
#include "ioctl_p.h"

#include <QDir>

namespace VehicleInfo {
namespace {

using TavrinIoCtl::DeviceSelection;

QString nameOf(const Sorvik3::RequestRef& request)
{
    try {
        return request ? QString::fromStdString(request->Name()) : QString();
    } catch (const std::exception&) {
        return QStringLiteral("?");
    }
}

// Whether the request names the device: a request of the device's own names it
// by its bytes; a shared one needs a device list (found as the control finds it) holding it.
bool namesDevice(const TavrinIoCtl::multilanguage::Language& language, const Sorvik3::RequestRef& request,
                 const Sorvik3::RequestRef& shared, const QString& device)
{
    if (!request) return false;
    if (request != shared) return true;
    for (const char* list : {"OutputTemporaryControlList", "OutputPermanentControlList"}) {
        try {
            auto data = TavrinIoCtl::utils::FindDataByName(language, request, QString::fromLatin1(list), QString());
            auto values = data ? data->NumericList() : nullptr;
            if (values && TavrinIoCtl::utils::FindValueByName(language, data, device) >= 0) return true;
        } catch (const std::exception&) {
            // not in this list
        }
    }
    return false;
}

void checkEcuLevel(const DeviceSelection& f, EcuFindings& out)
{
    out.found << "output control: '" + nameOf(f.OutputControlRequest) + "'";
    if (!f.TemporaryListData && !f.PermanentListData)
        out.missing << "no device list (OutputTemporaryControlList, OutputPermanentControlList)";
    if (!f.CommandData) out.missing << "no command item (OutputControlCommand)";
    const std::pair<const char*, int32_t> commands[] = {{"Start Temporary", f.StartTemporaryValue},
                                                        {"Start Permanent", f.StartPermanentValue},
                                                        {"Stop", f.StopCommandValue}};
    for (const auto& [name, value] : commands) {
        if (f.CommandData && value < 0) out.missing << QStringLiteral("no command value '%1'").arg(name);
    }
    if (!f.StatusData)
        out.missing << "no status item (OutputControlStatus): a started device cannot be judged";
    else if (f.RunningValue < 0)
        out.missing << "the status has no value 'Running'";
    out.found << "stop: '" + nameOf(f.StopRequest) + "', status: '" + nameOf(f.StatusRequest) + "'";
    out.found << (f.StartSessionRequest ? "session start: '" + nameOf(f.StartSessionRequest) + "'"
                                        : QStringLiteral("no session start (StartDiagnosticSession): none is sent"));
    out.found << (f.TesterPresentRequest
                      ? "tester present: '" + nameOf(f.TesterPresentRequest) + "'"
                      : QStringLiteral("no tester present (TesterPresent.WithResponse): that option sends nothing"));
}

void checkDevices(TavrinIoCtl::ioctl& control, EcuFindings& out)
{
    const auto& lists = catalogueWidgetsOf(control);
    const auto& f = selectionOf(control);
    const auto& language = languageOf(control);
    const int devices = lists.lvDevices->rowCount();
    out.found << QStringLiteral("%1 device(s)").arg(devices);
    for (int i = 0; i < devices; ++i) {
        auto* row = lists.lvDevices->row(i);
        lists.lvDevices->setCurrentItem(row);
        TavrinIoCtl::Events(control).lvDevices_Click();
        const QString device = row->text(0);
        if (!namesDevice(language, f.DeviceStartRequest, f.OutputControlRequest, device))
            out.missing << "device '" + device + "': its start '" + nameOf(f.DeviceStartRequest) + "' cannot name it";
        // The shared status names its command; a device's own status request names it by its bytes.
        if (f.DeviceStatusRequest && f.DeviceStatusRequest == f.StatusRequest && f.CommandData &&
            f.StatusCommandValue < 0)
            out.missing << "device '" + device + "': its status '" + nameOf(f.DeviceStatusRequest) +
                               "' needs the command value 'Status'";
        if (!namesDevice(language, f.DeviceStopRequest, f.StopRequest, device))
            out.missing << "device '" + device + "': no stop request that names it ('" + nameOf(f.DeviceStopRequest) +
                               "')";
    }
}

// A UDS ECU that asks for SecurityAccess needs its key plug-in in one of the folders named.
void checkSecurity(const TavrinKwp::EcuDescription& ecu, const std::vector<std::string>& keyFolders, EcuFindings& out)
{
    if (!ecu.security) {
        out.found << QStringLiteral("UDS (ISO 14229), no SecurityAccess");
        return;
    }
    const auto& security = *ecu.security;
    const QString plugin = QString::fromStdString(security.keyPlugin);
    out.found << QStringLiteral("UDS (ISO 14229), SecurityAccess level 0x%1 with the key plug-in '%2'")
                     .arg(security.level, 2, 16, QLatin1Char('0'))
                     .arg(plugin);
    for (const auto& folder : keyFolders) {
        const QDir dir(QString::fromStdString(folder));
        for (const QString& file : {"lib" + plugin + ".so", plugin + ".so"}) {
            if (dir.exists(file)) return;
        }
    }
    QStringList searched;
    for (const auto& folder : keyFolders)
        searched << QString::fromStdString(folder);
    out.missing << "key plug-in '" + plugin + "' is in none of the folders: " + searched.join(QStringLiteral(", "));
}

}  // namespace

std::vector<EcuFindings> checkVehicle(const std::shared_ptr<TavrinKwp::KwpSession>& session, const QString& installPath,
                                      const std::vector<std::string>& keyFolders)
{
    TavrinIoCtl::ioctl control;
    control.initParameters(installPath, QStringLiteral("en"), session);
    const auto& functions = catalogueWidgetsOf(control).lvFunctions;
    std::vector<EcuFindings> findings;
    for (const auto& ecu : session->vehicle().ecus) {
        EcuFindings out{QString::fromStdString(ecu.name), {}, {}};
        TavrinPlatform::ListItem* row = nullptr;
        for (int i = 0; i < functions->rowCount() && !row; ++i) {
            if (functions->row(i)->text(0) == out.ecu) row = functions->row(i);
        }
        if (ecu.protocol == TavrinKwp::Protocol::Uds) checkSecurity(ecu, keyFolders, out);
        if (row == nullptr) {
            out.found << (ecu.id == 0 ? QStringLiteral("not listed: an ECU with id 0 is never listed")
                                      : QStringLiteral("not listed: no output-control request (OutputControl) "
                                                       "with a device list"));
        } else {
            TavrinIoCtl::Events(control).lvFunctions_ItemClick(row);
            checkEcuLevel(selectionOf(control), out);
            checkDevices(control, out);
        }
        findings.push_back(std::move(out));
    }
    return findings;
}

}  // namespace VehicleInfo
