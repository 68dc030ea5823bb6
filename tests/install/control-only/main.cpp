// The control alone: built from the installed headers, started without a
// session (the host would give its own), translated from the installed data.
#include <TavrinIoCtl/DiagItemViewWrite.h>
#include <TavrinIoCtl/ioctl.h>

#include <QApplication>
#include <QGroupBox>

#include <iostream>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TavrinIoCtl::ioctl control;
    control.initParameters(DATA_DIR, "fr", nullptr);
    TavrinDiagItem::DiagItemViewWrite item;
    const auto* frame = control.findChild<QGroupBox*>("FrFunctions");
    const bool translated = frame != nullptr && frame->title() == QStringLiteral("Liste des fonctions");
    std::cout << (translated ? "control ok" : "control broken") << "\n";
    return translated ? 0 : 1;
}
