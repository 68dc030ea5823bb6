// A host whose window was drawn in Qt Designer with the control in it: the form
// compiles through uic like any other. With a file it saves a picture of the
// form and ends, with or without a display.
#include <TavrinKwpSimulation/DemoVehicle.h>

#include "ui_HostWindow.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

bool hasDisplay()
{
    return std::getenv("QT_QPA_PLATFORM") != nullptr || std::getenv("DISPLAY") != nullptr ||
           std::getenv("WAYLAND_DISPLAY") != nullptr;
}

}  // namespace

int main(int argc, char** argv)
{
    // The command line first: --help and usage errors answer without a display.
    if (argc > 2 || (argc == 2 && argv[1][0] == '-')) {
        const bool help = argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0);
        std::fprintf(help ? stdout : stderr,
                     "usage: designer-host [PICTURE.png]\n"
                     "Shows the form; with a file, saves a picture of it and ends.\n"
                     "Exit status: 0 done, 2 a usage error, the control did not start or the picture was not saved.\n");
        return help ? 0 : 2;
    }
    if (!hasDisplay()) {
        if (argc == 1) {
            std::fprintf(stderr, "designer-host needs a display to show the form; 'designer-host PICTURE.png' saves "
                                 "a picture of it without one\n");
            return 2;
        }
        // A picture needs no screen.
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    QApplication app(argc, argv);
    QWidget window;
    Ui::HostWindow form;
    form.setupUi(&window);
    try {
        form.control->initParameters(QStringLiteral(TAVRIN_DATA_DIR), QStringLiteral("en"), TavrinKwp::demoSession());
    } catch (const Sorvik3::Error& error) {
        std::fprintf(stderr, "designer-host: %s\n", error.description().c_str());
        return 2;
    }
    window.show();
    if (argc == 2) {
        QApplication::processEvents();
        if (!window.grab().save(QString::fromLocal8Bit(argv[1]))) {
            std::fprintf(stderr, "designer-host: %s: cannot save the picture\n", argv[1]);
            return 2;
        }
        std::printf("saved %s\n", argv[1]);
        return 0;
    }
    return QApplication::exec();
}
