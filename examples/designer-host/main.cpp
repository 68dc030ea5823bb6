// A host whose window was drawn in Qt Designer with the control in it: the form
// compiles through uic like any other. Without a display it saves a picture.
#include "DemoVehicle.h"
#include "ui_HostWindow.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc > 2 || (argc == 2 && QByteArray(argv[1]).startsWith('-'))) {
        std::printf("usage: designer-host [PICTURE.png]\nShows the form; with a file, saves a picture of it and ends.\n");
        return QByteArray(argv[argc - 1]) == "--help" ? 0 : 2;
    }
    QWidget window;
    Ui::HostWindow form;
    form.setupUi(&window);
    try {
        form.control->initParameters(QStringLiteral(TAVRIN_DATA_DIR), QStringLiteral("en"), Sorvik3Sim::demoSession());
    } catch (const Sorvik3::Error& error) {
        std::fprintf(stderr, "designer-host: %s\n", error.description().c_str());
        return 1;
    }
    window.show();
    if (argc == 2) {
        QApplication::processEvents();
        if (!window.grab().save(QString::fromLocal8Bit(argv[1]))) {
            std::fprintf(stderr, "designer-host: %s: cannot save the picture\n", argv[1]);
            return 1;
        }
        std::printf("saved %s\n", argv[1]);
        return 0;
    }
    return app.exec();
}
