// ioctl-script: runs a scripted actuator test on the real control and a
// vehicle (simulated, or a real one through a link), prints what the control shows, and checks expectations.
#include "EndingSignals.h"
#include "ErrorText.h"
#include "ExitStatus.h"
#include "InstallPath.h"
#include "JUnitReport.h"
#include "LinkFactory.h"
#include "OffThreadLink.h"
#include "Runner.h"
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

using TavrinApps::ExitStatus::refused;

int main(int argc, char** argv)
{
    bool show = false;
    for (int i = 1; i < argc; ++i)
        show = show || QByteArray(argv[i]) == "--show";
    if (!show) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // A script's steps come one after the other on its own clock: no event may
    // slip in while a request waits on a real line.
    TavrinKwp::OffThreadLink::serveEventsWhileWaiting(false);
    QApplication::setApplicationName(QStringLiteral("ioctl-script"));
    // One font everywhere, so printed geometry is the same on every machine.
    QApplication::setFont(QFont(QStringLiteral("DejaVu Sans"), 9));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Runs a scripted actuator test on the Tavrin Input Output Control.\n"
        "Exit status: 0 every expectation held, 1 one failed (or a device was still driven at the end),\n"
        "2 a script, usage, input or output error, 128+N ended by signal N (Ctrl+C, SIGTERM, SIGHUP)\n"
        "after stopping the driven device."));
    const QCommandLineOption help = parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("script"), QStringLiteral("The scenario to run."));
    QCommandLineOption showOption(QStringLiteral("show"), QStringLiteral("Show the control in a real window."));
    QCommandLineOption junit(QStringLiteral("junit"), QStringLiteral("Write a JUnit XML report."),
                             QStringLiteral("file"));
    QCommandLineOption install(QStringLiteral("install"), QStringLiteral("Installation path holding lang/ioctl.xml."),
                               QStringLiteral("path"), TavrinApps::defaultInstallPath());
    QCommandLineOption csv(QStringLiteral("csv"), QStringLiteral("Write the values read while monitoring as CSV."),
                           QStringLiteral("file"));
    QCommandLineOption report(QStringLiteral("report"), QStringLiteral("Write a JSON summary of each run."),
                              QStringLiteral("file"));
    QCommandLineOption link(
        QStringLiteral("link"),
        QStringLiteral("The vehicle's link: sim (default), kline:PORT[?baud=N&echo=0|1], kline:loopback, "
                       "can:PLUGIN:INTERFACE[?bitrate=N] or can:loopback (see docs/links.md)."),
        QStringLiteral("connection"), QStringLiteral("sim"));
    parser.addOptions({showOption, junit, install, csv, report, link});
    const char* usage = "usage: ioctl-script [--show] [--link CONNECTION] [--junit FILE] [--csv FILE] [--report FILE] "
                        "[--install PATH] SCRIPT";
    if (!parser.parse(QCoreApplication::arguments())) {
        std::fprintf(stderr, "ioctl-script: %s\n%s\n", qPrintable(parser.errorText()), usage);
        return refused;
    }
    if (parser.isSet(help)) {
        std::printf("%s", qPrintable(parser.helpText()));
        return TavrinApps::ExitStatus::done;
    }
    if (parser.positionalArguments().size() != 1) {
        std::fprintf(stderr, "ioctl-script: %s\n%s\n",
                     parser.positionalArguments().isEmpty() ? "no script given" : "one script at a time", usage);
        return refused;
    }
    try {
        // Options and their values too: a bad one is refused here, never in the middle of a run.
        TavrinKwp::checkConnection(parser.value(link).toStdString());
    } catch (const Sorvik3::Error& error) {
        std::fprintf(stderr, "ioctl-script: --link: %s\n",
                     TavrinApps::errorText(error.number(), error.description()).c_str());
        return refused;
    }
    // A run on a vehicle is never lost to an output that cannot be written at its end.
    for (const QCommandLineOption* output : {&junit, &csv, &report}) {
        if (!parser.isSet(*output)) continue;
        if (const QString why = TavrinApps::cannotWrite(parser.value(*output)); !why.isEmpty()) {
            std::fprintf(stderr, "ioctl-script: %s: cannot write: %s\n", qPrintable(parser.value(*output)),
                         qPrintable(why));
            return refused;
        }
    }
    const QString path = parser.positionalArguments().front();
    const QFileInfo info(path);
    QFile file(path);
    if (const std::string why = TavrinXml::notAFile(path.toStdString()); !why.empty()) {
        std::fprintf(stderr, "ioctl-script: %s: cannot read the script: %s\n", qPrintable(path), why.c_str());
        return refused;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "ioctl-script: %s: cannot read the script: %s\n", qPrintable(path),
                     qPrintable(file.errorString()));
        return refused;
    }
    QTextStream out(stdout);
    // While the script runs, its steps notice the signal (the run stops the driven
    // device and ends); once a shown run has ended, the window's event loop does.
    bool showing = false;
    Scenario::Options options{info.fileName(), info.absolutePath(), parser.value(install), show, parser.value(link)};
    Scenario::Runner runner(out, options);
    TavrinApps::onEndingSignal(&app, [&showing, &runner](int signal) {
        if (!showing) return;
        std::fprintf(stderr, "ioctl-script: %s: stopping a driven device and closing\n", strsignal(signal));
        runner.stopDrivenDevice();
        QApplication::quit();
    });
    QElapsedTimer timer;
    timer.start();
    QString scriptError;
    try {
        const auto commands = Scenario::parseScript(QString::fromUtf8(file.readAll()), info.fileName());
        Scenario::checkScript(commands, info.fileName());
        runner.run(commands);
    } catch (const Scenario::ScriptError& error) {
        scriptError = error.message;
    }
    out.flush();
    if (!scriptError.isEmpty()) std::fprintf(stderr, "ioctl-script: %s\n", qPrintable(scriptError));
    int status = !scriptError.isEmpty() ? refused
                 : runner.failed()      ? TavrinApps::ExitStatus::failed
                                        : TavrinApps::ExitStatus::done;
    if (parser.isSet(junit)) {
        QString why;
        if (!Scenario::writeJUnit(parser.value(junit), info.fileName(), runner.expectations(), scriptError,
                                  timer.elapsed() / 1000.0, why)) {
            std::fprintf(stderr, "ioctl-script: %s: cannot write the JUnit report: %s\n",
                         qPrintable(parser.value(junit)), qPrintable(why));
            status = refused;
        }
    }
    const std::pair<const QCommandLineOption*, bool (TavrinApps::RunRecorder::*)(const QString&, QString&) const>
        outputs[] = {{&csv, &TavrinApps::RunRecorder::writeCsv}, {&report, &TavrinApps::RunRecorder::writeReport}};
    for (const auto& [option, write] : outputs) {
        QString why;
        if (parser.isSet(*option) && !(runner.record().*write)(parser.value(*option), why)) {
            std::fprintf(stderr, "ioctl-script: %s: cannot write: %s\n", qPrintable(parser.value(*option)),
                         qPrintable(why));
            status = refused;
        }
    }
    if (show && TavrinApps::endingSignal() == 0) {
        runner.handOverToRealTime();
        showing = true;
        QApplication::exec();
    }
    // Ended by a signal: the device was stopped, but the run did not end as planned.
    const int signal = TavrinApps::endingSignal();
    return signal != 0 ? TavrinApps::ExitStatus::afterSignal(signal) : status;
}
