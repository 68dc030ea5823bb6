#include "ByteChannel.h"

#include "ErrorNumbers.h"
#include "SerialPortOpen.h"
#include "Sorvik3.h"

#include <QSerialPort>

namespace TavrinKwp {
namespace {

class SerialChannel final : public ByteChannel {
  public:
    SerialChannel(const std::string& port, uint32_t baud) : path_(port)
    {
        port_.setBaudRate(static_cast<qint32>(baud));
        port_.setDataBits(QSerialPort::Data8);
        port_.setParity(QSerialPort::NoParity);
        port_.setStopBits(QSerialPort::OneStop);
        port_.setFlowControl(QSerialPort::NoFlowControl);
        port_.setReadBufferSize(4096);
        openSerialPort(port_, port);
    }

    size_t read(uint8_t* into, size_t max, int timeoutMs) override
    {
        if (port_.bytesAvailable() == 0 && !port_.waitForReadyRead(timeoutMs)) return 0;
        const qint64 got = port_.read(reinterpret_cast<char*>(into), static_cast<qint64>(max));
        return got > 0 ? static_cast<size_t>(got) : 0;
    }

    void write(const Bytes& bytes) override
    {
        port_.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
        port_.waitForBytesWritten(1000);
    }

    std::string peerPath() const override { return path_; }

  private:
    QSerialPort port_;
    std::string path_;
};

}  // namespace

std::unique_ptr<ByteChannel> openSerialChannel(const std::string& port, uint32_t baud)
{
    return std::make_unique<SerialChannel>(port, baud);
}

}  // namespace TavrinKwp
