// The demo host: the control on the demo vehicle (or a vehicle file given with
// --vehicle), with the shipped language file.
#include "DemoVehicles.h"
#include "DemoWindow.h"
#include "EndingSignals.h"
#include "ErrorText.h"
#include "ExitStatus.h"
#include "InstallPath.h"
#include "LanguageCheck.h"
#include "LinkOption.h"
#include "LinkRegistry.h"
#include "RunRecorder.h"
#include "SimulatedVehicle.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDialog>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>

namespace {

bool hasDisplay()
{
    return qEnvironmentVariableIsSet("QT_QPA_PLATFORM") || qEnvironmentVariableIsSet("DISPLAY") ||
           qEnvironmentVariableIsSet("WAYLAND_DISPLAY");
}

int usageError(const QString& what)
{
    std::fprintf(stderr, "tavrin-demo: %s\nTry 'tavrin-demo --help'.\n", qPrintable(what));
    return TavrinApps::ExitStatus::refused;
}

int noDisplay(const char* program)
{
    std::fprintf(stderr,
                 "tavrin-demo needs a display, and this machine has none.\n"
                 "  Under a virtual display:   xvfb-run -a %s\n"
                 "  Headless, to a picture:     %s --screenshot demo.png\n"
                 "  Scripted runs:              the scenario runner (see the README).\n",
                 program, program);
    return TavrinApps::ExitStatus::refused;
}

// The command line, as the window needs it.
struct Arguments {
    QString install, language, vehicle, screenshot, link;
    LineTiming timing;
};

// Parses and checks the command line; a status when the program ends here (help, usage error).
std::optional<int> readArguments(Arguments& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Tavrin Input Output Control on a simulated vehicle (or a real one "
                                                    "with --link).\n") +
                                     QLatin1String(TavrinApps::ExitStatus::help));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption install({QStringLiteral("i"), QStringLiteral("install-path")},
                                     QStringLiteral("Installation path holding lang/ioctl.xml."),
                                     QStringLiteral("path"), TavrinApps::defaultInstallPath());
    const QCommandLineOption language({QStringLiteral("l"), QStringLiteral("language")},
                                      QStringLiteral("User-interface language (en, fr, de)."), QStringLiteral("code"),
                                      QStringLiteral("en"));
    const QCommandLineOption vehicle(QStringLiteral("vehicle"), QStringLiteral("Vehicle description file."),
                                     QStringLiteral("file"));
    const QCommandLineOption screenshot(QStringLiteral("screenshot"),
                                        QStringLiteral("Save a picture of the window after start-up, then quit."),
                                        QStringLiteral("file"));
    const QCommandLineOption latency(
        QStringLiteral("latency"), QStringLiteral("Answer time of the simulated ECUs in ms (0: as fast as possible)."),
        QStringLiteral("ms"), QStringLiteral("25"));
    const QCommandLineOption link = TavrinApps::linkOption();
    const QCommandLineOption keyPlugins = TavrinApps::keyPluginsOption();
    parser.addOptions({install, language, vehicle, screenshot, latency, link, keyPlugins});
    if (!parser.parse(QCoreApplication::arguments())) return usageError(parser.errorText());
    if (parser.isSet(help)) {
        std::printf("%s", qPrintable(parser.helpText()));
        return TavrinApps::ExitStatus::done;
    }
    if (!parser.positionalArguments().isEmpty())
        return usageError(QStringLiteral("unexpected argument '%1'").arg(parser.positionalArguments().front()));
    arguments = {parser.value(install),    parser.value(language), parser.value(vehicle),
                 parser.value(screenshot), parser.value(link),     LineTiming{}};
    bool latencyOk = false;
    arguments.timing.latencyMs = parser.value(latency).toUInt(&latencyOk);
    if (!latencyOk || arguments.timing.latencyMs > 60000)
        return usageError(QStringLiteral("--latency takes a whole number of milliseconds from 0 to 60000, not '%1'")
                              .arg(parser.value(latency)));
    if (arguments.timing.latencyMs == 0) arguments.timing.byteTimeUs = 0;
    try {
        TavrinKwp::checkConnection(arguments.link.toStdString());
    } catch (const Sorvik3::Error& error) {
        return usageError(QStringLiteral("--link: ") +
                          QString::fromStdString(TavrinApps::errorText(error.number(), error.description())));
    }
    useKeyPluginFolders(TavrinApps::keyPluginFolders(parser.values(keyPlugins)));
    if (!arguments.screenshot.isEmpty()) {
        if (const QString why = TavrinApps::cannotWrite(arguments.screenshot); !why.isEmpty())
            return usageError(arguments.screenshot + QStringLiteral(": cannot save the picture: ") + why);
    }
    return std::nullopt;
}

// Closes the dialogs open on top of the window (Save run, Connect, Open...), innermost first.
void closeDialogs()
{
    for (int left = 16; left > 0; --left) {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog) return;
        dialog->reject();
    }
}

// Saves a picture of the window once it has settled, then ends the program.
void takePictureAndQuit(QWidget& window, const QString& file)
{
    QTimer::singleShot(300, &window, [&window, file] {
        QString why;
        if (!TavrinApps::savePicture(window.grab().toImage(), file, why)) {
            std::fprintf(stderr, "tavrin-demo: %s: cannot save the picture: %s\n", qPrintable(file), qPrintable(why));
            QApplication::exit(TavrinApps::ExitStatus::refused);
            return;
        }
        std::printf("saved %s\n", qPrintable(file));
        QApplication::quit();
    });
}

}  // namespace

int main(int argc, char** argv)
{
    TavrinKwp::registerSimulatedLinks();
    // Without a display only the command line is read: --help and usage errors still answer.
    bool display = hasDisplay();
    // A picture needs no screen.
    for (int i = 1; i < argc && !display; ++i) {
        if (std::strcmp(argv[i], "--screenshot") == 0 || std::strncmp(argv[i], "--screenshot=", 13) == 0) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
            display = true;
        }
    }
    std::unique_ptr<QCoreApplication> app =
        display ? std::make_unique<QApplication>(argc, argv) : std::make_unique<QCoreApplication>(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tavrin-demo"));
    // Where the links typed before are kept (~/.config/Tavrin/tavrin-demo.conf).
    QCoreApplication::setOrganizationName(QStringLiteral("Tavrin"));
    Arguments arguments;
    if (const auto ended = readArguments(arguments)) return *ended;
    if (!display) return noDisplay(argv[0]);
    QApplication::setStyle(QStringLiteral("Fusion"));

    // Without a real screen nobody could close a dialog: errors go to standard error.
    const bool headless = !arguments.screenshot.isEmpty() ||
                          QGuiApplication::platformName() == QStringLiteral("offscreen") ||
                          QGuiApplication::platformName() == QStringLiteral("minimal");
    const QString warning =
        TavrinApps::unknownLanguageWarning(QStringLiteral("tavrin-demo"), arguments.install, arguments.language);
    if (!warning.isEmpty()) std::fprintf(stderr, "%s\n", qPrintable(warning));
    DemoWindow window(arguments.install, arguments.language, arguments.timing, headless);
    window.resize(1100, 720);
    std::shared_ptr<TavrinKwp::KwpSession> session;
    try {
        session = openVehicle(arguments.vehicle, arguments.timing, arguments.link);
    } catch (const Sorvik3::Error& error) {
        std::fprintf(stderr, "tavrin-demo: %s\n", TavrinApps::errorText(error.number(), error.description()).c_str());
        return TavrinApps::ExitStatus::refused;
    }
    window.show();
    // The event loop closes the window, which stops a driven device first; the
    // program ends within the stop's limit and a second whatever the line does.
    QObject::connect(window.control(), &TavrinIoCtl::ioctl::drivenDevicesChanged, [](const QStringList& devices) {
        TavrinApps::noteStillDriven(devices.join(QStringLiteral(", ")).toStdString());
    });
    TavrinApps::onEndingSignal(&window, [&window](int signal) {
        const bool driving = window.control()->Busy() || !window.control()->DrivenDevices().isEmpty();
        std::fprintf(stderr,
                     driving ? "tavrin-demo: %s: stopping a driven device and closing\n" : "tavrin-demo: %s: closing\n",
                     strsignal(signal));
        TavrinApps::endWithin(DemoWindow::kStopLimitMs + 1000, signal, "tavrin-demo");
        // A dialog left open would keep the program from ending once the device is stopped.
        closeDialogs();
        window.close();
    });
    if (!window.start(session, arguments.vehicle)) return TavrinApps::ExitStatus::refused;
    if (!arguments.screenshot.isEmpty()) takePictureAndQuit(window, arguments.screenshot);
    const int status = QApplication::exec();
    // Ended by a signal: the device was stopped, but the run did not end as planned.
    const int signal = TavrinApps::endingSignal();
    return signal != 0 ? TavrinApps::ExitStatus::afterSignal(signal) : status;
}
