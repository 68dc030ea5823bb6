// ioctl-script: runs a scripted actuator test on the real control and a
// vehicle (simulated, or a real one through a link), prints what the control shows, and checks expectations.
#include "EndingSignals.h"
#include "ErrorText.h"
#include "ExitStatus.h"
#include "InstallPath.h"
#include "JUnitReport.h"
#include "LinkOption.h"
#include "LinkRegistry.h"
#include "Runner.h"
#include "SimulatedVehicle.h"
#include "XmlDocument.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QFont>

#include <cstdio>
#include <cstring>
#include <optional>

using TavrinApps::ExitStatus::refused;

namespace {

const char* const kUsage = "usage: ioctl-script [--show] [--link CONNECTION] [--junit FILE] [--csv FILE] "
                           "[--report FILE] [--install PATH] [--key-plugins FOLDER] SCRIPT";

// The command line, as the run needs it.
struct Arguments {
    QString script;
    QString install;
    QString link;
    QString junit, csv, report;  // empty: not written
    bool show = false;
    QStringList keyPlugins;
};

int complain(const QString& what)
{
    std::fprintf(stderr, "ioctl-script: %s\n", qPrintable(what));
    return refused;
}

// Parses and checks the command line; a status when the program ends here (help, usage error).
std::optional<int> readArguments(Arguments& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Runs a scripted actuator test on the Tavrin Input Output Control.\n"
        "Exit status: 0 every expectation held, 1 one failed (or a device was still driven at the end),\n"
        "2 a script, usage, input or output error, 128+N ended by signal N (Ctrl+C, SIGTERM, SIGHUP)\n"
        "after stopping the driven device."));
    const QCommandLineOption help = parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("script"), QStringLiteral("The scenario to run."));
    const QCommandLineOption show(QStringLiteral("show"), QStringLiteral("Show the control in a real window."));
    const QCommandLineOption junit(QStringLiteral("junit"), QStringLiteral("Write a JUnit XML report."),
                                   QStringLiteral("file"));
    const QCommandLineOption install(QStringLiteral("install"),
                                     QStringLiteral("Installation path holding lang/ioctl.xml."),
                                     QStringLiteral("path"), TavrinApps::defaultInstallPath());
    const QCommandLineOption csv(QStringLiteral("csv"),
                                 QStringLiteral("Write the values read while monitoring as CSV."),
                                 QStringLiteral("file"));
    const QCommandLineOption report(QStringLiteral("report"), QStringLiteral("Write a JSON summary of each run."),
                                    QStringLiteral("file"));
    const QCommandLineOption link = TavrinApps::linkOption();
    const QCommandLineOption keyPlugins = TavrinApps::keyPluginsOption();
    parser.addOptions({show, junit, install, csv, report, link, keyPlugins});
    if (!parser.parse(QCoreApplication::arguments()))
        return complain(parser.errorText() + QLatin1Char('\n') + QLatin1String(kUsage));
    if (parser.isSet(help)) {
        std::printf("%s", qPrintable(parser.helpText()));
        return TavrinApps::ExitStatus::done;
    }
    const QStringList scripts = parser.positionalArguments();
    if (scripts.size() != 1)
        return complain(QLatin1String(scripts.isEmpty() ? "no script given\n" : "one script at a time\n") +
                        QLatin1String(kUsage));
    arguments = {scripts.front(),   parser.value(install), parser.value(link), parser.value(junit),
                 parser.value(csv), parser.value(report),  parser.isSet(show), parser.values(keyPlugins)};
    try {
        // Options and their values too: a bad one is refused here, never in the middle of a run.
        TavrinKwp::checkConnection(arguments.link.toStdString());
    } catch (const Sorvik3::Error& error) {
        return complain(QStringLiteral("--link: ") +
                        QString::fromStdString(TavrinApps::errorText(error.number(), error.description())));
    }
    // A run on a vehicle is never lost to an output that cannot be written at its end.
    for (const QString& output : {arguments.junit, arguments.csv, arguments.report}) {
        if (output.isEmpty()) continue;
        if (const QString why = TavrinApps::cannotWrite(output); !why.isEmpty())
            return complain(output + QStringLiteral(": cannot write: ") + why);
    }
    return std::nullopt;
}

// The script's text; empty with the reason when it cannot be read.
std::optional<QString> readScript(const QString& path, QString& why)
{
    if (const std::string refusal = TavrinXml::notAFile(path.toStdString()); !refusal.empty()) {
        why = QString::fromStdString(refusal);
        return std::nullopt;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        why = file.errorString();
        return std::nullopt;
    }
    return QString::fromUtf8(file.readAll());
}

// The report files the command line asks for; refused when one cannot be written.
int writeOutputs(const Arguments& arguments, const Scenario::Runner& runner, const QString& scriptName,
                 const QString& scriptError, double seconds, int status)
{
    QString why;
    if (!arguments.junit.isEmpty() &&
        !Scenario::writeJUnit(arguments.junit, scriptName, runner.expectations(), scriptError, seconds, why))
        status = complain(arguments.junit + QStringLiteral(": cannot write the JUnit report: ") + why);
    if (!arguments.csv.isEmpty() && !runner.record().writeCsv(arguments.csv, why))
        status = complain(arguments.csv + QStringLiteral(": cannot write: ") + why);
    if (!arguments.report.isEmpty() && !runner.record().writeReport(arguments.report, why))
        status = complain(arguments.report + QStringLiteral(": cannot write: ") + why);
    return status;
}

}  // namespace

int main(int argc, char** argv)
{
    TavrinKwp::registerSimulatedLinks();
    bool show = false;
    for (int i = 1; i < argc; ++i)
        show = show || QByteArray(argv[i]) == "--show";
    if (!show) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ioctl-script"));
    // One font everywhere, so printed geometry is the same on every machine.
    QApplication::setFont(QFont(QStringLiteral("DejaVu Sans"), 9));
    Arguments arguments;
    if (const auto ended = readArguments(arguments)) return *ended;
    QString why;
    const auto text = readScript(arguments.script, why);
    if (!text) return complain(arguments.script + QStringLiteral(": cannot read the script: ") + why);

    const QFileInfo info(arguments.script);
    QTextStream out(stdout);
    // While the script runs, its steps notice the signal (the run stops the driven
    // device and ends); once a shown run has ended, the window's event loop does.
    bool showing = false;
    Scenario::Runner runner(out, {info.fileName(), info.absolutePath(), arguments.install, show, arguments.link,
                                  TavrinApps::keyPluginFolders(arguments.keyPlugins)});
    TavrinApps::onEndingSignal(&app, [&showing, &runner](int signal) {
        if (!showing) return;
        std::fprintf(stderr, "ioctl-script: %s: stopping a driven device and closing\n", strsignal(signal));
        // Run by the event loop: nothing may escape into it, and a failed stop is said in words.
        try {
            runner.stopDrivenDevice();
        } catch (const std::exception& error) {
            std::fprintf(stderr, "ioctl-script: the stop failed, a device may still be driven: %s\n", error.what());
        } catch (...) {
            std::fprintf(stderr, "ioctl-script: the stop failed, a device may still be driven\n");
        }
        QApplication::quit();
    });
    QElapsedTimer timer;
    timer.start();
    QString scriptError;
    try {
        const auto commands = Scenario::parseScript(*text, info.fileName());
        Scenario::checkScript(commands, info.fileName());
        runner.run(commands);
    } catch (const Scenario::ScriptError& error) {
        scriptError = error.message;
    }
    out.flush();
    if (!scriptError.isEmpty()) complain(scriptError);
    int status = !scriptError.isEmpty() ? refused
                 : runner.failed()      ? TavrinApps::ExitStatus::failed
                                        : TavrinApps::ExitStatus::done;
    status = writeOutputs(arguments, runner, info.fileName(), scriptError, timer.elapsed() / 1000.0, status);
    if (show && TavrinApps::endingSignal() == 0) {
        runner.handOverToRealTime();
        showing = true;
        QApplication::exec();
    }
    // Ended by a signal: the device was stopped, but the run did not end as planned.
    const int signal = TavrinApps::endingSignal();
    return signal != 0 ? TavrinApps::ExitStatus::afterSignal(signal) : status;
}
