// vehicle-info: prints what a vehicle description offers (ECUs, requests, the
// devices of their output-control lists), or with --check what the control will
// find in it and what it will miss, or with --ping whether each ECU answers over
// the link. Without a file: the demo vehicle.
#include "DemoVehicle.h"
#include "EcuPing.h"
#include "ErrorNumbers.h"
#include "ErrorText.h"
#include "ExitStatus.h"
#include "InstallPath.h"
#include "KwpSession.h"
#include "LinkOption.h"
#include "SimulatedVehicle.h"
#include "VehicleCheck.h"

#include <QApplication>
#include <QCommandLineParser>

#include <cstdio>
#include <iostream>

namespace {

void printList(const Sorvik3::RequestRef& request, const std::string& item, const char* label)
{
    try {
        auto list = request->Data(item)->NumericList();
        if (!list) return;
        std::cout << "    " << label << ":";
        for (int32_t i = 0; i <= list->LastIndex(); ++i) {
            const std::string name = list->Item(i);
            std::cout << (i ? ", " : " ") << name << " (" << list->Value(name) << ")";
        }
        std::cout << "\n";
    } catch (const Sorvik3::Error&) {
        // an ECU without that list simply has nothing to show
    }
}

void printEcu(const Sorvik3::EcuRef& ecu, const TavrinKwp::EcuDescription& model)
{
    std::cout << "ECU " << ecu->Id() << " " << ecu->Name() << " - " << ecu->Description() << "\n";
    std::cout << "  requests:";
    for (const auto& request : model.requests)
        std::cout << " " << request.name;
    std::cout << "\n";
    for (const auto& request : model.requests) {
        if (request.service != 0x30 || request.name.find('.') != std::string::npos) continue;
        auto ref = ecu->Request(request.name);
        std::cout << "  " << request.name << "\n";
        for (const auto& item : ref->Items()) {
            auto list = item->NumericList();
            if (list && !item->InResponse() && list->LastIndex() >= 0 &&
                item->Name().find("List") != std::string::npos) {
                printList(ref, item->Name(), item->Name().c_str());
            }
        }
    }
}

int printVehicle(const std::shared_ptr<TavrinKwp::KwpSession>& session)
{
    std::cout << "Vehicle: " << session->vehicle().name << "\n";
    const auto ecus = session->Ecus();
    for (size_t i = 0; i < ecus.size(); ++i)
        printEcu(ecus[i], session->vehicle().ecus[i]);
    return TavrinApps::ExitStatus::done;
}

int check(const std::shared_ptr<TavrinKwp::KwpSession>& session, const QString& installPath,
          const std::vector<std::string>& keyFolders)
{
    bool usable = true;
    int listed = 0;
    for (const auto& ecu : VehicleInfo::checkVehicle(session, installPath, keyFolders)) {
        std::cout << "ECU " << ecu.ecu.toStdString() << "\n";
        for (const auto& line : ecu.found)
            std::cout << "  found: " << line.toStdString() << "\n";
        for (const auto& line : ecu.missing)
            std::cout << "  MISSING: " << line.toStdString() << "\n";
        usable = usable && ecu.missing.isEmpty();
        listed += ecu.found.filter(QStringLiteral("not listed")).isEmpty() ? 1 : 0;
    }
    if (listed == 0) std::cout << "No ECU offers output control: the control lists nothing.\n";
    usable = usable && listed > 0;
    std::cout << (usable ? "usable\n" : "not usable as it stands\n");
    return usable ? TavrinApps::ExitStatus::done : TavrinApps::ExitStatus::failed;
}

// Starts the communication with each ECU over the link, says how it went, and closes it again.
int ping(const std::shared_ptr<TavrinKwp::KwpSession>& session)
{
    try {
        for (const auto& line : session->checkAdapter())
            std::cout << line << "\n";
    } catch (const Sorvik3::Error& error) {
        std::cout << "adapter: error " << TavrinApps::errorNumberText(error.number()) << ": " << error.description()
                  << "\n";
        return TavrinApps::ExitStatus::failed;
    }
    const auto report = TavrinKwp::pingEcus(*session, {}, [&](const TavrinKwp::EcuAnswer& answer) {
        std::cout << answer.ecu << " (" << TavrinApps::errorNumberText(answer.id) << ") over " << session->linkName()
                  << ": "
                  << (answer.error == 0 ? std::string("answers")
                                        : "error " + TavrinApps::errorNumberText(answer.error) + ": " + answer.why)
                  << "\n";
    });
    if (report.closing) {
        std::cout << "closing: error " << TavrinApps::errorNumberText(report.closing->number()) << ": "
                  << report.closing->description() << "\n";
    }
    std::cout << report.answering() << " of " << report.ecus.size() << " ECUs answer\n";
    return report.answering() == report.ecus.size() ? TavrinApps::ExitStatus::done : TavrinApps::ExitStatus::failed;
}

}  // namespace

int main(int argc, char** argv)
{
    TavrinKwp::registerSimulatedLinks();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("vehicle-info"));
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Lists a vehicle description's ECUs, requests and devices (the demo vehicle without FILE).\n"
                       "With --check: what the control will find in it and what it will miss.\n"
                       "With --ping: starts the communication with each ECU over --link and reports.\n"
                       "Exit status: 0 done (with --check: the file is usable; with --ping: every ECU answers),\n"
                       "1 the check or the ping failed, 2 a usage error or a refused file or connection."));
    const QCommandLineOption help = parser.addHelpOption();
    QCommandLineOption checkOption(QStringLiteral("check"), QStringLiteral("Check the file as the control reads it."));
    QCommandLineOption install(QStringLiteral("install"), QStringLiteral("Installation path holding lang/ioctl.xml."),
                               QStringLiteral("path"), TavrinApps::defaultInstallPath());
    QCommandLineOption pingOption(QStringLiteral("ping"),
                                  QStringLiteral("Start the communication with each ECU over the link and report."));
    const QCommandLineOption link = TavrinApps::linkOption();
    const QCommandLineOption keyPlugins = TavrinApps::keyPluginsOption();
    parser.addOptions({checkOption, install, pingOption, link, keyPlugins});
    parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("Vehicle description (XML)."), "[FILE]");
    const char* usage =
        "usage: vehicle-info [--check | --ping] [--link CONNECTION] [--install PATH] [--key-plugins FOLDER] [FILE]";
    if (!parser.parse(QCoreApplication::arguments())) {
        std::cerr << "vehicle-info: " << parser.errorText().toStdString() << "\n" << usage << "\n";
        return TavrinApps::ExitStatus::refused;
    }
    if (parser.isSet(help)) {
        std::cout << parser.helpText().toStdString();
        return TavrinApps::ExitStatus::done;
    }
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1) {
        std::cerr << "vehicle-info: one file at a time\n" << usage << "\n";
        return TavrinApps::ExitStatus::refused;
    }
    if (parser.isSet(checkOption) && parser.isSet(pingOption)) {
        std::cerr << "vehicle-info: --check or --ping, not both\n" << usage << "\n";
        return TavrinApps::ExitStatus::refused;
    }
    try {
        const std::string connection = parser.value(link).toStdString();
        auto session = files.isEmpty()
                           ? TavrinKwp::KwpSession::fromText(TavrinKwp::demoVehicleXml(), "demo.xml", connection)
                           : TavrinKwp::KwpSession::load(files.front().toStdString(), connection);
        const auto keyFolders = TavrinApps::keyPluginFolders(parser.values(keyPlugins));
        session->setKeyPluginFolders(keyFolders);
        if (parser.isSet(pingOption)) return ping(session);
        return parser.isSet(checkOption) ? check(session, parser.value(install), keyFolders) : printVehicle(session);
    } catch (const Sorvik3::Error& error) {
        std::cerr << "vehicle-info: error " << TavrinApps::errorNumberText(error.number()) << ": "
                  << QString::fromStdString(error.description()).replace("\r\n", " / ").toStdString() << "\n";
        return TavrinApps::ExitStatus::refused;
    }
}
