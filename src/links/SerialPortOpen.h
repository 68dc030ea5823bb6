// Opening a serial port, with the reason in words when it fails.
#pragma once

#include <QSerialPort>

#include <string>

namespace TavrinKwp {

// Opens the port for reading and writing; throws LinkUnavailable naming the port
// and the reason. A port that is not there (unplugged since it was listed, or a
// wrong name) is told as such: Qt reports it as an error while locking the device.
void openSerialPort(QSerialPort& serial, const std::string& port);

}  // namespace TavrinKwp
