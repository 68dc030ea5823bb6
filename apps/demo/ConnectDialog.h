// "Connect...": chooses the vehicle's link among the simulated vehicle, the
// serial ports and the CAN interfaces the system has, with the line's options.
#pragma once

#include <QDialog>

class QComboBox;
class QLineEdit;

class ConnectDialog : public QDialog {
    Q_OBJECT
  public:
    ConnectDialog(const QString& current, const QString& language, QWidget* parent = nullptr);
    // The connection string chosen, e.g. "kline:/dev/ttyUSB0?baud=10400&echo=1".
    QString connection() const;

  private:
    void choose(int index);

    QComboBox* links_;
    QLineEdit* options_;
};

// The links offered: the simulated vehicle, its K-line and CAN loopbacks, each serial port, each CAN interface.
QList<QPair<QString, QString>> offeredLinks();
