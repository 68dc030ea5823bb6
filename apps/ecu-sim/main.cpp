// tavrin-ecu-sim: serves a vehicle description's ECUs on a serial port or a
// new pseudo-terminal (K-line framing, echo and timing) or on a CAN bus
// (ISO-TP), so the product or any other tester can run against the simulated
// vehicle. Each exchange is logged on standard output.
#include "ByteChannel.h"
#include "CanService.h"
#include "DemoVehicleText.h"
#include "ErrorText.h"
#include "ExitStatus.h"
#include "FaultInjector.h"
#include "FaultOption.h"
#include "KLineEcuServer.h"
#include "Sorvik3.h"
#include "VehicleLoader.h"
#include "VehicleSimulator.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <atomic>
#include <csignal>
#include <cstdio>

namespace {

std::atomic<bool> stopRequested{false};

void stop(int)
{
    stopRequested = true;
}

int refuse(const std::string& what)
{
    std::fprintf(stderr, "tavrin-ecu-sim: %s\n", what.c_str());
    return TavrinApps::ExitStatus::refused;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tavrin-ecu-sim"));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Serves the ECUs of a vehicle description on a K-line: a serial port, or with --kline pty a new\n"
        "pseudo-terminal whose path is printed first (\"pty /dev/pts/N\"); or on a CAN bus with --can\n"
        "(\"can ready\" is printed first). Each exchange is logged on standard output. Runs until Ctrl+C\n"
        "or SIGTERM, its normal end.\n"
        "Exit status: 0 stopped by Ctrl+C or SIGTERM, 2 a usage, input, port or bus error."));
    const QCommandLineOption help = parser.addHelpOption();
    QCommandLineOption vehicle(QStringLiteral("vehicle"),
                               QStringLiteral("The vehicle description (default: the demo vehicle)."),
                               QStringLiteral("file"));
    QCommandLineOption kline(QStringLiteral("kline"), QStringLiteral("The serial port to serve on, or pty."),
                             QStringLiteral("port"));
    QCommandLineOption can(QStringLiteral("can"),
                           QStringLiteral("The CAN bus to serve on, as can:PLUGIN:INTERFACE[?bitrate=N], e.g. "
                                          "can:virtualcan:can0 (start the simulator first: the first program "
                                          "on a virtual bus carries it)."),
                           QStringLiteral("connection"));
    QCommandLineOption baud(QStringLiteral("baud"),
                            QStringLiteral("Baud rate of a serial port (default: the first ECU's)."),
                            QStringLiteral("rate"));
    QCommandLineOption noEcho(QStringLiteral("no-echo"),
                              QStringLiteral("Do not echo the tester's bytes (a two-wire interface)."));
    QCommandLineOption fault(QStringLiteral("fault"),
                             QStringLiteral("A fault to inject, repeatable: \"init ECU [N|always]\", "
                                            "\"negative ECU REQUEST CODE [N|always]\", "
                                            "\"noanswer ECU REQUEST [N|always]\"; faults of the line: "
                                            "\"late-answer MS [N]\" (MS past P2max), \"corrupt [N]\" (a wrong "
                                            "checksum; on CAN a single frame of no length), \"garbage [N]\" "
                                            "(noise before the answer; on CAN a frame of no known type); on the "
                                            "K-line also \"stray-zero [N]\" (a 0x00 before the echo); on CAN also "
                                            "\"lost-frame [N]\" (a consecutive frame of an answer), "
                                            "\"late-flow-control [N]\", \"overflow [N]\", "
                                            "\"flow-control-wait [N]\" (one WAIT, the go-ahead 100 ms later), "
                                            "\"stray-frame [N]\" (a consecutive frame out of turn)."),
                             QStringLiteral("fault"));
    parser.addOptions({vehicle, kline, can, baud, noEcho, fault});
    if (!parser.parse(QCoreApplication::arguments())) return refuse(parser.errorText().toStdString());
    if (parser.isSet(help)) {
        std::printf("%s", qPrintable(parser.helpText()));
        return TavrinApps::ExitStatus::done;
    }
    if (!parser.positionalArguments().isEmpty())
        return refuse("unexpected argument '" + parser.positionalArguments().front().toStdString() + "'");
    if (parser.isSet(kline) == parser.isSet(can))
        return refuse("--kline PORT, --kline pty or --can CONNECTION is needed");

    try {
        const auto description = std::make_shared<const TavrinKwp::VehicleDescription>(
            parser.isSet(vehicle) ? TavrinKwp::loadVehicleFile(parser.value(vehicle).toStdString())
                                  : TavrinKwp::loadVehicleText(TavrinKwp::demoVehicleXml(), "demo.xml"));
        TavrinKwp::VehicleSimulator simulator(description);
        TavrinKwp::TransportFaults transport;
        for (const QString& text : parser.values(fault)) {
            const std::string why = EcuSim::addFault(text.toStdString(), *description, simulator.faults(), transport);
            if (!why.empty()) return refuse("--fault \"" + text.toStdString() + "\": " + why);
        }
        const auto log = [](const std::string& line) {
            std::printf("%s\n", line.c_str());
            std::fflush(stdout);
        };
        if (parser.isSet(can))
            return EcuSim::serveCan(parser.value(can).toStdString(), simulator, transport, log, stopRequested, stop);
        uint32_t rate = description->ecus.empty() ? 10400 : description->ecus.front().kline.baud;
        if (parser.isSet(baud)) {
            bool ok = false;
            rate = parser.value(baud).toUInt(&ok);
            if (!ok || rate == 0) return refuse("--baud " + parser.value(baud).toStdString() + ": not a baud rate");
        }
        const QString port = parser.value(kline);
        auto channel = port == QLatin1String("pty") ? TavrinKwp::openPseudoTerminal()
                                                    : TavrinKwp::openSerialChannel(port.toStdString(), rate);
        std::printf("%s %s\n", port == QLatin1String("pty") ? "pty" : "port", channel->peerPath().c_str());
        std::printf("serving %zu ECUs of %s\n", description->ecus.size(),
                    description->name.empty() ? description->file.c_str() : description->name.c_str());
        std::fflush(stdout);
        std::signal(SIGINT, stop);
        std::signal(SIGTERM, stop);
        TavrinKwp::KLineEcuServer server(simulator, *channel, {!parser.isSet(noEcho), log}, transport);
        server.run(stopRequested);
    } catch (const Sorvik3::Error& error) {
        return refuse(TavrinApps::errorText(error.number(), error.description()));
    }
    return TavrinApps::ExitStatus::done;
}
