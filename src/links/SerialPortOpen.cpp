#include "SerialPortOpen.h"

#include "ErrorNumbers.h"

#include <filesystem>
#include <system_error>

namespace TavrinKwp {
namespace {

bool present(const std::string& port)
{
    // Qt takes a bare name ("ttyUSB0") for a device in /dev.
    const std::filesystem::path path = port.find('/') == std::string::npos ? "/dev/" + port : port;
    std::error_code ignored;
    return std::filesystem::exists(path, ignored);
}

}  // namespace

void openSerialPort(QSerialPort& serial, const std::string& port)
{
    serial.setPortName(QString::fromStdString(port));
    if (serial.open(QIODevice::ReadWrite)) return;
    const std::string reason = present(port) ? serial.errorString().toStdString()
                                             : std::string("the port is not there (unplugged, or a wrong name)");
    throw sessionError(SessionError::LinkUnavailable, "Cannot open serial port '" + port + "': " + reason);
}

}  // namespace TavrinKwp
