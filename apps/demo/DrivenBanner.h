// The warning that a device may still be driven: a band across the window (never
// a modal box, which would stand between the user and the stop) that names each
// device once, says what failed and what to do, offers the stop again and the
// error's details, and stays until every device is confirmed stopped.
#pragma once

#include <TavrinIoCtl/ioctl.h>

#include <QFrame>
#include <QLabel>
#include <QPushButton>

class DrivenBanner : public QFrame {
    Q_OBJECT
  public:
    explicit DrivenBanner(TavrinIoCtl::ioctl& control, QWidget* parent = nullptr);

    // The texts again in the language now in use.
    void retranslate();
    QString text() const { return message_->text(); }

  signals:
    // The user asked for the details of the error that left the device driven.
    void detailsWanted(qint32 number);

  private:
    void tell(const QStringList& devices);

    TavrinIoCtl::ioctl& control_;
    QLabel* message_;
    QPushButton* stopAgain_;
    QPushButton* details_;
    qint32 lastError_ = 0;
    QString lastErrorText_;
    QStringList devices_;
};
