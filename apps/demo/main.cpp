// The demo host: the control on the demo vehicle (or a vehicle file given with
// --vehicle), with the shipped language file.
#include "DemoVehicles.h"
#include "DemoWindow.h"
#include "InstallPath.h"
#include "LanguageCheck.h"
#include "RunRecorder.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QGuiApplication>
#include <QScreen>
#include <QSocketNotifier>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>
#include <cstdlib>
#include <cstring>

namespace {

bool hasDisplay()
{
    return qEnvironmentVariableIsSet("QT_QPA_PLATFORM") || qEnvironmentVariableIsSet("DISPLAY") ||
           qEnvironmentVariableIsSet("WAYLAND_DISPLAY");
}

// Ctrl+C, SIGTERM or SIGHUP (a closed terminal, a dropped remote session) reach
// the window through a pipe: the handler may only write a byte; the event loop
// then closes the window, which stops a driven device first.
int signalPipe[2] = {-1, -1};
volatile std::sig_atomic_t caughtSignal = 0;

void onSignal(int signal)
{
    caughtSignal = signal;
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(signalPipe[1], &byte, 1);
}

void closeOnSignals(QWidget& window)
{
    if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &window);
    QObject::connect(notifier, &QSocketNotifier::activated, &window, [&window] {
        char byte = 0;
        while (::read(signalPipe[0], &byte, 1) > 0) {
        }
        std::fprintf(stderr, "tavrin-demo: %s: stopping a driven device and closing\n", strsignal(caughtSignal));
        window.close();
    });
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
    std::signal(SIGHUP, onSignal);
}

int usageError(const QString& what)
{
    std::fprintf(stderr, "tavrin-demo: %s\nTry 'tavrin-demo --help'.\n", qPrintable(what));
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    if (!hasDisplay()) {
        std::fprintf(stderr,
                     "tavrin-demo needs a display, and this machine has none.\n"
                     "  Under a virtual display:   xvfb-run -a %s\n"
                     "  Headless, to a picture:     QT_QPA_PLATFORM=offscreen %s --screenshot demo.png\n"
                     "  Scripted runs:              the scenario runner (see the README).\n",
                     argv[0], argv[0]);
        return 2;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tavrin-demo"));
    QApplication::setStyle(QStringLiteral("Fusion"));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Tavrin Input Output Control on a simulated vehicle"));
    const QCommandLineOption help = parser.addHelpOption();
    QCommandLineOption install({QStringLiteral("i"), QStringLiteral("install-path")},
                               QStringLiteral("Installation path holding lang/ioctl.xml."), QStringLiteral("path"),
                               TavrinApps::defaultInstallPath());
    QCommandLineOption language({QStringLiteral("l"), QStringLiteral("language")},
                                QStringLiteral("User-interface language (en, fr, de)."), QStringLiteral("code"),
                                QStringLiteral("en"));
    QCommandLineOption vehicle(QStringLiteral("vehicle"), QStringLiteral("Vehicle description file."),
                               QStringLiteral("file"));
    QCommandLineOption screenshot(QStringLiteral("screenshot"),
                                  QStringLiteral("Save a picture of the window after start-up, then quit."),
                                  QStringLiteral("file"));
    QCommandLineOption latency(QStringLiteral("latency"),
                               QStringLiteral("Answer time of the simulated ECUs in ms (0: as fast as possible)."),
                               QStringLiteral("ms"), QStringLiteral("25"));
    QCommandLineOption link(QStringLiteral("link"),
                            QStringLiteral("The vehicle's link: sim (default), kline:PORT[?baud=N&echo=0|1], kline:loopback, "
                                           "can:PLUGIN:INTERFACE[?bitrate=N] or can:loopback (see docs/links.md)."),
                            QStringLiteral("connection"), QStringLiteral("sim"));
    parser.addOptions({install, language, vehicle, screenshot, latency, link});
    if (!parser.parse(QCoreApplication::arguments())) return usageError(parser.errorText());
    if (parser.isSet(help)) {
        std::printf("%s", qPrintable(parser.helpText()));
        return 0;
    }
    if (!parser.positionalArguments().isEmpty())
        return usageError(QStringLiteral("unexpected argument '%1'").arg(parser.positionalArguments().front()));
    bool latencyOk = false;
    LineTiming timing;
    timing.latencyMs = parser.value(latency).toUInt(&latencyOk);
    if (!latencyOk || timing.latencyMs > 60000)
        return usageError(QStringLiteral("--latency takes a whole number of milliseconds from 0 to 60000, not '%1'")
                              .arg(parser.value(latency)));
    if (timing.latencyMs == 0) timing.byteTimeUs = 0;

    // Without a real screen nobody could close a dialog: errors go to standard error.
    const bool headless = parser.isSet(screenshot) || QGuiApplication::platformName() == QStringLiteral("offscreen") ||
                          QGuiApplication::platformName() == QStringLiteral("minimal");
    const QString warning =
        TavrinApps::unknownLanguageWarning(QStringLiteral("tavrin-demo"), parser.value(install), parser.value(language));
    if (!warning.isEmpty()) std::fprintf(stderr, "%s\n", qPrintable(warning));
    DemoWindow window(parser.value(install), parser.value(language), timing, headless);
    window.resize(1100, 720);
    std::shared_ptr<Sorvik3Sim::KwpSession> session;
    try {
        session = openVehicle(parser.value(vehicle), timing, parser.value(link));
    } catch (const Sorvik3::Error& error) {
        std::fprintf(stderr, "tavrin-demo: %s\n", error.description().c_str());
        return 1;
    }
    window.show();
    closeOnSignals(window);
    if (!window.start(session, parser.value(vehicle))) return 1;
    if (parser.isSet(screenshot)) {
        const QString file = parser.value(screenshot);
        QTimer::singleShot(300, &window, [&window, file] {
            QString why;
            if (!TavrinApps::savePicture(window.grab().toImage(), file, why)) {
                std::fprintf(stderr, "tavrin-demo: %s: cannot save the picture: %s\n", qPrintable(file),
                             qPrintable(why));
                QApplication::exit(1);
                return;
            }
            std::printf("saved %s\n", qPrintable(file));
            QApplication::quit();
        });
    }
    const int status = app.exec();
    // Ended by a signal: the device was stopped, but the run did not end as planned.
    return caughtSignal != 0 ? 128 + caughtSignal : status;
}
