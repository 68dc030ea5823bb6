#include "DrivenBanner.h"

#include <QAccessible>
#include <QHBoxLayout>

DrivenBanner::DrivenBanner(TavrinIoCtl::ioctl& control, QWidget* parent)
    : QFrame(parent), control_(control), message_(new QLabel(this)), stopAgain_(new QPushButton(this)),
      details_(new QPushButton(this))
{
    setObjectName(QStringLiteral("drivenBanner"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, QColor(255, 214, 102));
    colours.setColor(QPalette::WindowText, Qt::black);
    setPalette(colours);
    message_->setObjectName(QStringLiteral("drivenMessage"));
    message_->setWordWrap(true);
    message_->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    message_->setFocusPolicy(Qt::TabFocus);
    stopAgain_->setObjectName(QStringLiteral("stopAgain"));
    details_->setObjectName(QStringLiteral("drivenDetails"));
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(message_, 1);
    layout->addWidget(stopAgain_);
    layout->addWidget(details_);
    connect(stopAgain_, &QPushButton::clicked, this, [this] { control_.stopDrivenDevices(); });
    connect(details_, &QPushButton::clicked, this, [this] { emit detailsWanted(lastError_); });
    connect(&control, &TavrinIoCtl::ioctl::errorReported, this, [this](qint32 number, const QString& text) {
        lastError_ = number;
        // The control's words name the device already: the band keeps the reason.
        const QString failed = QStringLiteral("the stop failed: ");
        const auto at = text.indexOf(failed);
        lastErrorText_ = at < 0 ? text : text.mid(at + failed.size());
        if (!devices_.isEmpty()) tell(devices_);
    });
    connect(&control, &TavrinIoCtl::ioctl::drivenDevicesChanged, this, &DrivenBanner::tell);
    // A device stays in the list while its sequence runs: the band waits for the sequence's end.
    connect(&control, &TavrinIoCtl::ioctl::busyChanged, this, [this] { tell(control_.DrivenDevices()); });
    retranslate();
    hide();
}

void DrivenBanner::retranslate()
{
    stopAgain_->setText(tr("Stop again (F7)"));
    details_->setText(tr("Details"));
    setAccessibleName(tr("Warning"));
    if (!devices_.isEmpty()) tell(devices_);
}

void DrivenBanner::tell(const QStringList& devices)
{
    QStringList once = devices;
    once.removeDuplicates();
    devices_ = once;
    // While a sequence runs, its own stop is under way: nothing is told yet.
    if (once.isEmpty() || control_.Busy()) {
        setVisible(false);
        return;
    }
    QString text = tr("May still be driven: %1.").arg(once.join(QStringLiteral(", ")));
    if (!lastErrorText_.isEmpty()) text += QLatin1Char(' ') + tr("What failed: %1.").arg(lastErrorText_);
    text += QLatin1Char(' ') + tr("Stop it again (F7); if that fails too, check the line and switch the ignition off.");
    const bool changed = message_->text() != text || isHidden();
    message_->setText(text);
    details_->setEnabled(lastError_ != 0);
    setVisible(true);
    if (!changed) return;
    // A screen reader says it at once, whatever it was reading.
    QAccessibleEvent alert(message_, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
}
