#include <TavrinIoCtl/TavrinIoCtlVersion.h>
#include <TavrinIoCtl/ioctl.h>
#include <TavrinKwpSession/DemoVehicle.h>
#include <TavrinKwpSession/KwpSession.h>

#include <QApplication>

#include <iostream>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TavrinIoCtl::ioctl control;
    control.initParameters(DATA_DIR, "en", TavrinKwp::demoSession());
    if (control.ControlVersion() != TAVRIN_IOCTL_VERSION) return 1;
    auto embedded = TavrinKwp::demoSession();
    auto installed = TavrinKwp::KwpSession::load(std::string(DATA_DIR) + "/vehicles/demo.xml");
    const bool same = embedded->Ecus().size() == installed->Ecus().size() && !installed->Ecus().empty();
    std::cout << (same ? "package ok" : "package broken") << "\n";
    return same ? 0 : 1;
}
