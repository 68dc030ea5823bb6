// ioctl-script: runs a scripted actuator test on the real control and a
// simulated vehicle, prints what the control shows, and checks expectations.
// Exit status: 0 all held, 1 an expectation failed, 2 a script error.
#include "JUnitReport.h"
#include "Runner.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QFont>

#include <cstdio>

int main(int argc, char** argv)
{
    bool show = false;
    for (int i = 1; i < argc; ++i)
        show = show || QByteArray(argv[i]) == "--show";
    if (!show) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ioctl-script"));
    // One font everywhere, so printed geometry is the same on every machine.
    QApplication::setFont(QFont(QStringLiteral("DejaVu Sans"), 9));
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Runs a scripted actuator test on the Tavrin Input Output Control."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("script"), QStringLiteral("The scenario to run."));
    QCommandLineOption showOption(QStringLiteral("show"), QStringLiteral("Show the control in a real window."));
    QCommandLineOption junit(QStringLiteral("junit"), QStringLiteral("Write a JUnit XML report."),
                             QStringLiteral("file"));
    QCommandLineOption install(QStringLiteral("install"), QStringLiteral("Installation path holding lang/ioctl.xml."),
                               QStringLiteral("path"), QStringLiteral(TAVRIN_DEFAULT_INSTALL_PATH));
    parser.addOptions({showOption, junit, install});
    parser.process(app);
    if (parser.positionalArguments().size() != 1) {
        std::fprintf(stderr, "usage: ioctl-script [--show] [--junit FILE] [--install PATH] SCRIPT\n");
        return 2;
    }
    const QString path = parser.positionalArguments().front();
    const QFileInfo info(path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "%s: cannot read the script\n", qPrintable(path));
        return 2;
    }
    QTextStream out(stdout);
    Scenario::Options options{info.fileName(), info.absolutePath(), parser.value(install), show};
    Scenario::Runner runner(out, options);
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
    if (!scriptError.isEmpty()) std::fprintf(stderr, "%s\n", qPrintable(scriptError));
    if (parser.isSet(junit)) {
        Scenario::writeJUnit(parser.value(junit), info.fileName(), runner.expectations(), scriptError,
                             timer.elapsed() / 1000.0);
    }
    const int status = !scriptError.isEmpty() ? 2 : runner.failed() ? 1 : 0;
    if (show) {
        runner.handOverToRealTime();
        app.exec();
    }
    return status;
}
