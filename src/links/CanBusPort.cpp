#include "CanBusPort.h"

#include "ErrorNumbers.h"
#include "Sorvik3.h"

#include <QCanBus>
#include <QCanBusDevice>
#include <QCoreApplication>
#include <QThread>
#include <QVariant>

#include <algorithm>
#include <cstdlib>
#include <mutex>

namespace TavrinKwp {
namespace {

constexpr size_t kQueueLimit = 4096;
constexpr auto kConnectLimit = std::chrono::seconds(3);

// Started once, stopped only when the program ends: see the header.
QThread& canThread()
{
    static QThread* thread = [] {
        auto* started = new QThread;
        started->setObjectName(QStringLiteral("CAN"));
        started->start();
        return started;
    }();
    return *thread;
}

// The thread must have ended before the plugins' own statics (the virtual bus's
// hub among them) are destroyed, or it runs into them while they go.
void stopCanThread()
{
    QThread& thread = canThread();
    if (!thread.isRunning()) return;
    thread.quit();
    thread.wait();
}

// Called once a device exists: an exit handler registered after the plugin's
// statics were made runs before they are destroyed; a Qt application ends the
// thread even sooner, when it is destroyed.
void stopCanThreadAtExit()
{
    static std::once_flag once;
    std::call_once(once, [] {
        std::atexit(stopCanThread);
        qAddPostRoutine(stopCanThread);
    });
}

[[noreturn]] void unavailable(const std::string& what)
{
    throw sessionError(SessionError::LinkUnavailable, what);
}

void configure(QCanBusDevice& device, const std::map<std::string, std::string>& options, const std::string& name)
{
    for (const auto& [key, value] : options) {
        if (key == "bitrate") {
            bool ok = false;
            const uint rate = QString::fromStdString(value).toUInt(&ok);
            if (!ok || rate == 0) unavailable("CAN interface '" + name + "': bitrate '" + value + "' is no number");
            device.setConfigurationParameter(QCanBusDevice::BitRateKey, QVariant(rate));
        }
    }
}

}  // namespace

CanBusPort::CanBusPort(const std::string& plugin, const std::string& interface,
                       const std::map<std::string, std::string>& options)
    : plugin_(plugin), interface_(interface)
{
    context_ = new QObject;
    context_->moveToThread(&canThread());
    std::string refusal;
    // The device is made, set up and connected in its own thread.
    QMetaObject::invokeMethod(
        context_,
        [&] {
            QString why;
            device_ = QCanBus::instance()->createDevice(QString::fromStdString(plugin),
                                                        QString::fromStdString(interface), &why);
            if (!device_) {
                refusal = "CAN plugin '" + plugin + "' gives no device '" + interface +
                          "': " + (why.isEmpty() ? std::string("unknown plugin") : why.toStdString());
                return;
            }
            device_->setParent(context_);
            try {
                configure(*device_, options, name());
            } catch (const Sorvik3::Error& error) {
                refusal = error.description();
                return;
            }
            watchDevice();
            if (!device_->connectDevice()) {
                refusal = "CAN interface '" + name() + "' cannot connect: " + device_->errorString().toStdString();
            } else if (device_->state() == QCanBusDevice::ConnectedState) {
                std::lock_guard lock(mutex_);
                connected_ = true;
            }
        },
        Qt::BlockingQueuedConnection);
    if (refusal.empty()) {
        // Frames written before the device is connected would be lost.
        std::unique_lock lock(mutex_);
        if (!arrived_.wait_for(lock, kConnectLimit, [this] { return connected_ || !failure_.empty(); }))
            refusal = "CAN interface '" + name() + "' did not connect within 3 s";
        else if (!failure_.empty())
            refusal = "CAN interface '" + name() + "' cannot connect: " + failure_;
    }
    stopCanThreadAtExit();
    if (!refusal.empty()) {
        QMetaObject::invokeMethod(
            context_, [this] { delete context_; }, Qt::BlockingQueuedConnection);
        unavailable(refusal);
    }
}

// In the device's thread: frames read are handed on, errors and the connection told, writes counted.
void CanBusPort::watchDevice()
{
    QObject::connect(device_, &QCanBusDevice::framesReceived, context_, [this] {
        std::deque<CanFrame> frames;
        while (device_->framesAvailable() > 0) {
            const QCanBusFrame frame = device_->readFrame();
            if (frame.frameType() != QCanBusFrame::DataFrame) continue;
            const QByteArray payload = frame.payload();
            frames.push_back({frame.frameId(), frame.hasExtendedFrameFormat(), Bytes(payload.begin(), payload.end())});
        }
        received(std::move(frames));
    });
    QObject::connect(device_, &QCanBusDevice::errorOccurred, context_, [this](QCanBusDevice::CanBusError error) {
        if (error == QCanBusDevice::ConnectionError || error == QCanBusDevice::WriteError)
            failed(device_->errorString().toStdString());
    });
    QObject::connect(device_, &QCanBusDevice::framesWritten, context_, [this](qint64 count) {
        {
            std::lock_guard lock(mutex_);
            unwritten_ -= std::min(unwritten_, static_cast<size_t>(std::max<qint64>(count, 0)));
        }
        arrived_.notify_all();
    });
    QObject::connect(device_, &QCanBusDevice::stateChanged, context_, [this](QCanBusDevice::CanBusDeviceState state) {
        if (state != QCanBusDevice::ConnectedState) return;
        {
            std::lock_guard lock(mutex_);
            connected_ = true;
        }
        arrived_.notify_all();
    });
}

CanBusPort::~CanBusPort()
{
    if (!canThread().isRunning()) {
        delete context_;  // the program is ending: the thread is over, its objects may go from here
        return;
    }
    QMetaObject::invokeMethod(
        context_,
        [this] {
            if (device_) device_->disconnectDevice();
            delete context_;
        },
        Qt::BlockingQueuedConnection);
}

void CanBusPort::received(std::deque<CanFrame> frames)
{
    {
        std::lock_guard lock(mutex_);
        for (auto& frame : frames) {
            if (queue_.size() == kQueueLimit) {
                queue_.pop_front();
                ++dropped_;
            }
            queue_.push_back(std::move(frame));
        }
    }
    arrived_.notify_all();
}

void CanBusPort::failed(const std::string& reason)
{
    {
        std::lock_guard lock(mutex_);
        failure_ = reason;
    }
    arrived_.notify_all();
}

void CanBusPort::write(const CanFrame& frame)
{
    {
        std::lock_guard lock(mutex_);
        if (!failure_.empty()) unavailable("CAN interface '" + name() + "' failed: " + failure_);
        ++unwritten_;
    }
    QCanBusFrame out(frame.id, QByteArray(reinterpret_cast<const char*>(frame.data.data()),
                                          static_cast<qsizetype>(frame.data.size())));
    out.setExtendedFrameFormat(frame.extended);
    QMetaObject::invokeMethod(
        context_,
        [this, out] {
            if (device_->writeFrame(out)) return;
            const std::string why = device_->errorString().toStdString();
            failed("it refused a frame (" + (why.empty() ? std::string("no reason given") : why) +
                   "): check that the interface is up, that its bit rate is the bus's, and that another node "
                   "is on the bus to acknowledge frames");
        },
        Qt::QueuedConnection);
}

bool CanBusPort::waitWritten(Clock::time_point until)
{
    std::unique_lock lock(mutex_);
    arrived_.wait_until(lock, until, [this] { return unwritten_ == 0 || !failure_.empty(); });
    if (!failure_.empty()) unavailable("CAN interface '" + name() + "' failed: " + failure_);
    return unwritten_ == 0;
}

std::optional<CanFrame> CanBusPort::read(Clock::time_point until)
{
    std::unique_lock lock(mutex_);
    arrived_.wait_until(lock, until, [this] { return !queue_.empty() || !failure_.empty(); });
    if (!failure_.empty() && queue_.empty()) unavailable("CAN interface '" + name() + "' failed: " + failure_);
    if (queue_.empty()) return std::nullopt;
    CanFrame frame = std::move(queue_.front());
    queue_.pop_front();
    return frame;
}

void CanBusPort::clear()
{
    std::lock_guard lock(mutex_);
    queue_.clear();
}

size_t CanBusPort::dropped() const
{
    std::lock_guard lock(mutex_);
    return dropped_;
}

}  // namespace TavrinKwp
