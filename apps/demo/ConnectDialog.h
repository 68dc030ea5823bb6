// "Connect...": chooses the vehicle's link among the simulated vehicle, the
// serial ports and the CAN interfaces the system lists, or any port path or
// connection string typed in (a pseudo-terminal, a port the system misses),
// with the line's options. What is typed is checked before it is taken. "Ping
// ECUs" tries the link on the vehicle's ECUs off the window's thread and shows
// which answer.
#pragma once

#include "EcuPing.h"
#include "KwpSession.h"

#include <QDialog>
#include <QPlainTextEdit>

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The links offered: the simulated vehicle and its loopbacks, each serial port
// and CAN interface the system lists, and the ports typed before that are there now.
QList<QPair<QString, QString>> offeredLinks();
// Ports the system does not list, as typed in an accepted Connect..., newest first.
QStringList typedBefore();
void rememberTyped(const QString& connection);

class ConnectDialog : public QDialog {
    Q_OBJECT
  public:
    // The vehicle over a connection string: what a ping opens (in another thread).
    using VehicleOver = std::function<std::shared_ptr<TavrinKwp::KwpSession>(const QString& connection)>;

    ConnectDialog(const QString& current, VehicleOver vehicle, QWidget* parent = nullptr);
    // Waits for a ping under way: at most the ECU it is trying.
    ~ConnectDialog() override;

    // The connection string chosen, e.g. "kline:/dev/ttyUSB0?baud=10400&echo=1".
    QString connection() const;
    // Why that connection is refused; empty when it is taken.
    QString refusal() const;
    // Pings the vehicle's ECUs over the connection; the answers show when it ends.
    void ping();
    bool pinging() const { return worker_.joinable() && !pingDone_; }
    QString answers() const;

  signals:
    void pinged();

  public slots:
    void accept() override;

  private:
    void choose(int index);
    void showPing(const TavrinKwp::PingReport& report, const std::vector<std::string>& adapter,
                  const QString& connection);
    void say(const QString& text, bool wrong);

    VehicleOver vehicle_;
    QComboBox* links_;
    QLineEdit* options_;
    QPushButton* ping_;
    QPlainTextEdit* answers_;
    std::thread worker_;
    std::atomic<bool> cancel_{false};
    std::atomic<bool> pingDone_{false};
};
