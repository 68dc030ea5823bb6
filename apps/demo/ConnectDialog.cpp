#include "ConnectDialog.h"

#include "DemoTexts.h"

#include <QCanBus>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSerialPortInfo>

QList<QPair<QString, QString>> offeredLinks()
{
    QList<QPair<QString, QString>> links = {
        {QStringLiteral("sim"), QStringLiteral("Simulated vehicle")},
        {QStringLiteral("kline:loopback"), QStringLiteral("Simulated vehicle behind a pseudo-terminal (K-line)")}};
    for (const QSerialPortInfo& port : QSerialPortInfo::availablePorts()) {
        QString text = QStringLiteral("K-line: ") + port.systemLocation();
        const QString about = QStringList{port.manufacturer(), port.description()}.join(QLatin1Char(' ')).trimmed();
        if (!about.isEmpty()) text += QStringLiteral(" (") + about + QLatin1Char(')');
        links.append({QStringLiteral("kline:") + port.systemLocation(), text});
    }
    links.append({QStringLiteral("can:loopback"), QStringLiteral("Simulated vehicle on the virtual CAN bus")});
    for (const QString& plugin : QCanBus::instance()->plugins()) {
        QString why;
        for (const QCanBusDeviceInfo& device : QCanBus::instance()->availableDevices(plugin, &why)) {
            const QString connection = QStringLiteral("can:%1:%2").arg(plugin, device.name());
            QString text = QStringLiteral("CAN: ") + plugin + QLatin1Char(' ') + device.name();
            if (!device.description().isEmpty()) text += QStringLiteral(" (") + device.description() + QLatin1Char(')');
            links.append({connection, text});
        }
    }
    return links;
}

ConnectDialog::ConnectDialog(const QString& current, const QString& language, QWidget* parent)
    : QDialog(parent), links_(new QComboBox(this)), options_(new QLineEdit(this))
{
    setWindowTitle(demoText("Connect", language));
    for (const auto& [connection, text] : offeredLinks())
        links_->addItem(demoText(text.toUtf8().constData(), language), connection);
    const QString base = current.section(QLatin1Char('?'), 0, 0);
    // A link given on the command line may name a port the system does not list (yet): keep it offered.
    if (links_->findData(base) < 0 && !base.isEmpty()) links_->insertItem(0, base, base);
    links_->setCurrentIndex(links_->findData(base));
    options_->setText(current.section(QLatin1Char('?'), 1));
    options_->setPlaceholderText(QStringLiteral("baud=10400&echo=1 / bitrate=500000"));
    auto* form = new QFormLayout(this);
    form->addRow(demoText("Link", language), links_);
    form->addRow(demoText("Line options", language), options_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setText(demoText("Cancel", language));
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(links_, &QComboBox::currentIndexChanged, this, &ConnectDialog::choose);
    choose(links_->currentIndex());
}

void ConnectDialog::choose(int index)
{
    // The simulated vehicle in the program has no line to set.
    options_->setEnabled(links_->itemData(index).toString() != QLatin1String("sim"));
}

QString ConnectDialog::connection() const
{
    const QString link = links_->currentData().toString();
    const QString options = options_->text().trimmed();
    return options.isEmpty() || link == QLatin1String("sim") ? link : link + QLatin1Char('?') + options;
}
