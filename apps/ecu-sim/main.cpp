// tavrin-ecu-sim: serves a vehicle description's ECUs on a serial port or a
// new pseudo-terminal (K-line framing, echo and timing, or behind an emulated
// ELM327 / STN adapter) or on a CAN bus (ISO-TP), so the product or any other
// tester can run against the simulated vehicle. Each exchange is logged on
// standard output.
#include "ByteChannel.h"
#include "CanService.h"
#include "DemoVehicleText.h"
#include "ElmEmulator.h"
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
#include <optional>

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

// The command line, as the server needs it.
struct Arguments {
    std::optional<QString> vehicle;  // none: the demo vehicle
    QString kline, can, elm, baud;
    QStringList faults;
    bool echo = true;
    bool stn = false;
};

// --fault, with the faults it takes.
QCommandLineOption faultOption()
{
    return QCommandLineOption(
        QStringLiteral("fault"),
        QStringLiteral("A fault to inject, repeatable: \"init ECU [N|always]\", "
                       "\"negative ECU REQUEST CODE [N|always]\", "
                       "\"noanswer ECU REQUEST [N|always]\"; of a UDS ECU also \"wrong-key ECU [N|always]\" "
                       "(it expects another SecurityAccess key) and \"answer-anyway ECU REQUEST [N|always]\" "
                       "(it answers a request that asked for no positive answer, late); faults of the line: "
                       "\"late-answer MS [N]\" (MS past P2max), \"corrupt [N]\" (a wrong "
                       "checksum; on CAN a single frame of no length), \"garbage [N]\" "
                       "(noise before the answer; on CAN a frame of no known type); on the "
                       "K-line also \"stray-zero [N]\" (a 0x00 before the echo); on CAN also "
                       "\"lost-frame [N]\" (a consecutive frame of an answer), "
                       "\"late-flow-control [N]\", \"overflow [N]\", "
                       "\"flow-control-wait [N]\" (one WAIT, the go-ahead 100 ms later), "
                       "\"stray-frame [N]\" (a consecutive frame out of turn); of the emulated "
                       "adapter: \"elm REPLY [N|always]\" (its own reply in place of the answer: NO DATA, "
                       "BUFFER FULL, DATA ERROR, <RX ERROR, CAN ERROR, BUS ERROR, STOPPED, "
                       "UNABLE TO CONNECT, LV RESET, BUS INIT: ...ERROR, or silent: no reply at all) and "
                       "\"elm refuses COMMAND\" (a clone that answers ? to commands that begin so), "
                       "\"elm ignores COMMAND\" (a clone that does not answer them at all)."),
        QStringLiteral("fault"));
}

// Parses and checks the command line; a status when the program ends here (help, usage error).
std::optional<int> readArguments(Arguments& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Serves the ECUs of a vehicle description on a K-line: a serial port, or with --kline pty a new\n"
        "pseudo-terminal whose path is printed first (\"pty /dev/pts/N\"); or on a CAN bus with --can\n"
        "(\"can ready\" is printed first); or behind an emulated ELM327 adapter with --elm (a port or pty;\n"
        "--stn makes it an STN chip). Each exchange is logged on standard output. Runs until Ctrl+C\n"
        "or SIGTERM, its normal end.\n"
        "Exit status: 0 stopped by Ctrl+C or SIGTERM, 2 a usage, input, port or bus error."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption vehicle(QStringLiteral("vehicle"),
                                     QStringLiteral("The vehicle description (default: the demo vehicle)."),
                                     QStringLiteral("file"));
    const QCommandLineOption kline(QStringLiteral("kline"), QStringLiteral("The serial port to serve on, or pty."),
                                   QStringLiteral("port"));
    const QCommandLineOption can(QStringLiteral("can"),
                                 QStringLiteral("The CAN bus to serve on, as can:PLUGIN:INTERFACE[?bitrate=N], e.g. "
                                                "can:virtualcan:can0 (start the simulator first: the first program "
                                                "on a virtual bus carries it)."),
                                 QStringLiteral("connection"));
    const QCommandLineOption elm(QStringLiteral("elm"),
                                 QStringLiteral("The serial port to serve an emulated ELM327 adapter on, or pty "
                                                "(reach it with --link elm:PORT)."),
                                 QStringLiteral("port"));
    const QCommandLineOption stn(QStringLiteral("stn"),
                                 QStringLiteral("With --elm: the adapter is an STN chip (STI, STPX)."));
    const QCommandLineOption baud(QStringLiteral("baud"),
                                  QStringLiteral("Baud rate of a serial port (default: the first ECU's)."),
                                  QStringLiteral("rate"));
    const QCommandLineOption noEcho(QStringLiteral("no-echo"),
                                    QStringLiteral("Do not echo the tester's bytes (a two-wire interface)."));
    const QCommandLineOption fault = faultOption();
    parser.addOptions({vehicle, kline, can, elm, stn, baud, noEcho, fault});
    if (!parser.parse(QCoreApplication::arguments())) return refuse(parser.errorText().toStdString());
    if (parser.isSet(help)) {
        std::printf("%s", qPrintable(parser.helpText()));
        return TavrinApps::ExitStatus::done;
    }
    if (!parser.positionalArguments().isEmpty())
        return refuse("unexpected argument '" + parser.positionalArguments().front().toStdString() + "'");
    if (int(parser.isSet(kline)) + int(parser.isSet(can)) + int(parser.isSet(elm)) != 1)
        return refuse("--kline PORT, --kline pty, --can CONNECTION or --elm PORT|pty is needed");
    arguments = {parser.isSet(vehicle) ? std::optional(parser.value(vehicle)) : std::nullopt,
                 parser.value(kline),
                 parser.value(can),
                 parser.value(elm),
                 parser.value(baud),
                 parser.values(fault),
                 !parser.isSet(noEcho),
                 parser.isSet(stn)};
    return std::nullopt;
}

void logLine(const std::string& line)
{
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

// Serves the simulated vehicle on a serial port or a new pseudo-terminal until a signal: on the
// K-line, or behind the emulated adapter.
int serveSerial(const Arguments& arguments, TavrinKwp::VehicleSimulator& simulator, TavrinKwp::TransportFaults& faults)
{
    const auto& description = simulator.model();
    uint32_t rate = description.ecus.empty() ? 10400 : description.ecus.front().kline.baud;
    if (!arguments.baud.isEmpty()) {
        bool ok = false;
        rate = arguments.baud.toUInt(&ok);
        if (!ok || rate == 0) return refuse("--baud " + arguments.baud.toStdString() + ": not a baud rate");
    }
    const QString& port = arguments.elm.isEmpty() ? arguments.kline : arguments.elm;
    if (!arguments.elm.isEmpty() && arguments.baud.isEmpty()) rate = 38400;  // the adapters' usual rate
    const bool pty = port == QLatin1String("pty");
    auto channel = pty ? TavrinKwp::openPseudoTerminal() : TavrinKwp::openSerialChannel(port.toStdString(), rate);
    std::printf("%s %s\n", pty ? "pty" : "port", channel->peerPath().c_str());
    std::printf("serving %zu ECUs of %s\n", description.ecus.size(),
                description.name.empty() ? description.file.c_str() : description.name.c_str());
    std::fflush(stdout);
    std::signal(SIGINT, stop);
    std::signal(SIGTERM, stop);
    if (!arguments.elm.isEmpty()) {
        std::printf("adapter %s\n",
                    arguments.stn ? TavrinKwp::ElmEmulator::kStnDevice : TavrinKwp::ElmEmulator::kIdentity);
        std::fflush(stdout);
        TavrinKwp::ElmEmulator adapter(simulator, *channel, {arguments.stn, logLine}, faults);
        adapter.run(stopRequested);
        return TavrinApps::ExitStatus::done;
    }
    TavrinKwp::KLineEcuServer server(simulator, *channel, {arguments.echo, logLine}, faults);
    server.run(stopRequested);
    return TavrinApps::ExitStatus::done;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tavrin-ecu-sim"));
    Arguments arguments;
    if (const auto ended = readArguments(arguments)) return *ended;
    try {
        const auto description = std::make_shared<const TavrinKwp::VehicleDescription>(
            arguments.vehicle ? TavrinKwp::loadVehicleFile(arguments.vehicle->toStdString())
                              : TavrinKwp::loadVehicleText(TavrinKwp::demoVehicleXml(), "demo.xml"));
        TavrinKwp::VehicleSimulator simulator(description);
        TavrinKwp::TransportFaults transport;
        for (const QString& text : arguments.faults) {
            const std::string why = EcuSim::addFault(text.toStdString(), *description, simulator.faults(), transport);
            if (!why.empty()) return refuse("--fault \"" + text.toStdString() + "\": " + why);
        }
        if (!arguments.can.isEmpty())
            return EcuSim::serveCan(arguments.can.toStdString(), simulator, transport, logLine, stopRequested, stop);
        return serveSerial(arguments, simulator, transport);
    } catch (const Sorvik3::Error& error) {
        return refuse(TavrinApps::errorText(error.number(), error.description()));
    }
}
