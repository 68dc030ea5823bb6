// A host of the session library alone, without the simulated vehicle: the
// control on a session over a real line. The line is not there, so starting
// an ECU must fail in words that name the port; "sim" must be refused in words
// that say what is missing.
#include <TavrinIoCtl/TavrinIoCtlVersion.h>
#include <TavrinIoCtl/ioctl.h>
#include <TavrinKwpSession/ErrorNumbers.h>
#include <TavrinKwpSession/KwpSession.h>

#include <QApplication>

#include <iostream>

namespace {

bool failsSaying(const auto& call, TavrinKwp::SessionError number, const std::string& words)
{
    try {
        call();
    } catch (const Sorvik3::Error& error) {
        return error.number() == static_cast<int>(number) && error.description().find(words) != std::string::npos;
    }
    return false;
}

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const std::string vehicle = std::string(DATA_DIR) + "/vehicles/demo.xml";
    const std::string port = "/nonexistent/tavrin-consumer-port";
    auto session = TavrinKwp::KwpSession::load(vehicle, "kline:" + port);
    TavrinIoCtl::ioctl control;
    control.initParameters(DATA_DIR, "en", session);
    if (control.ControlVersion() != TAVRIN_IOCTL_VERSION) return 1;
    const bool realLine = !session->Ecus().empty() && failsSaying([&] { session->Ecus().front()->Init(); },
                                                                  TavrinKwp::SessionError::LinkUnavailable, port);
    const bool noSimulation = failsSaying([&] { TavrinKwp::KwpSession::load(vehicle, "sim"); },
                                          TavrinKwp::SessionError::BadConnection, "KwpSimulation");
    std::cout << (realLine && noSimulation ? "package ok" : "package broken") << "\n";
    return realLine && noSimulation ? 0 : 1;
}
