#include "ConnectDialog.h"

#include "LinkRegistry.h"

#include <QCanBus>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSerialPortInfo>
#include <QSettings>

namespace {

const QString kTypedKey = QStringLiteral("connect/typedBefore");
constexpr int kTypedKept = 8;

// The port a connection string names ("kline:/dev/pts/3?baud=9600": /dev/pts/3); empty for none.
QString portOf(const QString& connection)
{
    const QString port = connection.section(QLatin1Char('?'), 0, 0).section(QLatin1Char(':'), 1);
    return port.startsWith(QLatin1Char('/')) ? port : QString();
}

bool systemLists(const QString& port)
{
    for (const QSerialPortInfo& listed : QSerialPortInfo::availablePorts()) {
        if (listed.systemLocation() == port) return true;
    }
    return false;
}

}  // namespace

QStringList typedBefore()
{
    return QSettings().value(kTypedKey).toStringList();
}

void rememberTyped(const QString& connection)
{
    // Only ports the system does not list (pseudo-terminals, a bridge's port): the others are offered anyway.
    const QString port = portOf(connection);
    if (port.isEmpty() || systemLists(port)) return;
    const QString base = connection.section(QLatin1Char('?'), 0, 0);
    QStringList kept = typedBefore();
    kept.removeAll(base);
    kept.prepend(base);
    QSettings().setValue(kTypedKey, kept.mid(0, kTypedKept));
}

QList<QPair<QString, QString>> offeredLinks()
{
    QList<QPair<QString, QString>> links = {
        {QStringLiteral("sim"), ConnectDialog::tr("Simulated vehicle")},
        {QStringLiteral("kline:loopback"), ConnectDialog::tr("Simulated vehicle behind a pseudo-terminal (K-line)")}};
    for (const QSerialPortInfo& port : QSerialPortInfo::availablePorts()) {
        QString text = ConnectDialog::tr("K-line: %1").arg(port.systemLocation());
        const QString about = QStringList{port.manufacturer(), port.description()}.join(QLatin1Char(' ')).trimmed();
        if (!about.isEmpty()) text += QStringLiteral(" (") + about + QLatin1Char(')');
        links.append({QStringLiteral("kline:") + port.systemLocation(), text});
        links.append({QStringLiteral("elm:") + port.systemLocation(),
                      ConnectDialog::tr("ELM327 or STN adapter: %1").arg(port.systemLocation())});
    }
    // Ports typed before that are there now (a pseudo-terminal lives as long as its program).
    for (const QString& typed : typedBefore()) {
        if (QFileInfo::exists(portOf(typed)) && !systemLists(portOf(typed)))
            links.append({typed, ConnectDialog::tr("%1 (typed before)").arg(typed)});
    }
    links.append(
        {QStringLiteral("elm:loopback"), ConnectDialog::tr("Simulated vehicle behind an emulated ELM327 adapter")});
    links.append({QStringLiteral("can:loopback"), ConnectDialog::tr("Simulated vehicle on the virtual CAN bus")});
    for (const QString& plugin : QCanBus::instance()->plugins()) {
        QString why;
        for (const QCanBusDeviceInfo& device : QCanBus::instance()->availableDevices(plugin, &why)) {
            const QString connection = QStringLiteral("can:%1:%2").arg(plugin, device.name());
            QString text = ConnectDialog::tr("CAN: %1 %2").arg(plugin, device.name());
            if (!device.description().isEmpty()) text += QStringLiteral(" (") + device.description() + QLatin1Char(')');
            links.append({connection, text});
        }
    }
    return links;
}

ConnectDialog::ConnectDialog(const QString& current, VehicleOver vehicle, QWidget* parent)
    : QDialog(parent), vehicle_(std::move(vehicle)), links_(new QComboBox(this)), options_(new QLineEdit(this)),
      ping_(new QPushButton(tr("Ping ECUs"), this)), answers_(new QPlainTextEdit(this))
{
    setWindowTitle(tr("Connect"));
    links_->setEditable(true);
    links_->setInsertPolicy(QComboBox::NoInsert);
    links_->lineEdit()->setPlaceholderText(
        QStringLiteral("kline:/dev/ttyUSB0, /dev/pts/3, can:socketcan:can0, elm:/dev/rfcomm0"));
    links_->setToolTip(tr("Choose a link, or type a port path or a connection string"));
    for (const auto& [connection, text] : offeredLinks())
        links_->addItem(text, connection);
    const QString base = current.section(QLatin1Char('?'), 0, 0);
    // A link given on the command line may name a port the system does not list (yet): keep it offered.
    if (links_->findData(base) < 0 && !base.isEmpty()) links_->insertItem(0, base, base);
    links_->setCurrentIndex(links_->findData(base));
    options_->setText(current.section(QLatin1Char('?'), 1));
    // The whole answer, however many ECUs: it grows with the dialog and scrolls.
    answers_->setObjectName(QStringLiteral("answers"));
    answers_->setReadOnly(true);
    answers_->setMinimumHeight(8 * answers_->fontMetrics().lineSpacing());
    answers_->setAccessibleName(tr("Answers"));
    auto* form = new QFormLayout(this);
    form->addRow(tr("Link"), links_);
    form->addRow(tr("Line options"), options_);
    form->addRow(ping_);
    form->addRow(answers_);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &ConnectDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(links_, &QComboBox::currentIndexChanged, this, &ConnectDialog::choose);
    // A typed connection gets the example of its own kind of link.
    connect(links_, &QComboBox::editTextChanged, this, [this] { choose(links_->currentIndex()); });
    connect(ping_, &QPushButton::clicked, this, &ConnectDialog::ping);
    choose(links_->currentIndex());
}

ConnectDialog::~ConnectDialog()
{
    cancel_ = true;
    if (worker_.joinable()) worker_.join();
}

void ConnectDialog::choose(int)
{
    const QString link = connection().section(QLatin1Char('?'), 0, 0);
    // The simulated vehicle in the program has no line to set.
    options_->setEnabled(link != QLatin1String("sim"));
    // The options the chosen kind of link takes, as an example.
    options_->setPlaceholderText(link == QLatin1String("sim")             ? QString()
                                 : link.startsWith(QLatin1String("elm:")) ? QStringLiteral("baud=38400&protocol=auto")
                                 : link.startsWith(QLatin1String("can:")) ? QStringLiteral("bitrate=500000")
                                                                          : QStringLiteral("baud=10400&echo=1"));
}

QString ConnectDialog::connection() const
{
    const QString typed = links_->currentText().trimmed();
    const int listed = links_->findText(typed);
    QString link = listed >= 0 ? links_->itemData(listed).toString() : typed;
    // A bare path names a serial port.
    if (link.startsWith(QLatin1Char('/'))) link = QStringLiteral("kline:") + link;
    const QString options = options_->text().trimmed();
    if (options.isEmpty() || link == QLatin1String("sim")) return link;
    return link + (link.contains(QLatin1Char('?')) ? QLatin1Char('&') : QLatin1Char('?')) + options;
}

QString ConnectDialog::refusal() const
{
    try {
        TavrinKwp::checkConnection(connection().toStdString());
        return {};
    } catch (const Sorvik3::Error& error) {
        return QString::fromStdString(error.description());
    }
}

void ConnectDialog::say(const QString& text, bool wrong)
{
    answers_->setPlainText(text);
    answers_->setStyleSheet(wrong ? QStringLiteral("color: #b00020") : QString());
}

void ConnectDialog::accept()
{
    const QString why = refusal();
    if (!why.isEmpty()) return say(why, true);
    rememberTyped(connection());
    QDialog::accept();
}

QString ConnectDialog::answers() const
{
    return answers_->toPlainText();
}

void ConnectDialog::ping()
{
    if (pinging()) return;
    const QString why = refusal();
    if (!why.isEmpty()) return say(why, true);
    if (worker_.joinable()) worker_.join();
    const QString link = connection();
    say(tr("Pinging the ECUs over %1...").arg(link), false);
    ping_->setEnabled(false);
    pingDone_ = false;
    // The link's timing runs in a thread of its own: the window never waits on the wire.
    worker_ = std::thread([this, link, vehicle = vehicle_] {
        TavrinKwp::PingReport report;
        std::vector<std::string> adapter;
        try {
            auto session = vehicle(link);
            // An adapter first says what it is and whether it takes what the ECUs need.
            adapter = session->checkAdapter();
            report = TavrinKwp::pingEcus(*session, {}, {}, &cancel_);
        } catch (const Sorvik3::Error& error) {
            report.closing = error;
        } catch (const std::exception& error) {
            report.closing = Sorvik3::Error(0, error.what());
        } catch (...) {
            report.closing = Sorvik3::Error(0, "the link failed in an unknown way");
        }
        pingDone_ = true;
        QMetaObject::invokeMethod(
            this, [this, report, adapter, link] { showPing(report, adapter, link); }, Qt::QueuedConnection);
    });
}

void ConnectDialog::showPing(const TavrinKwp::PingReport& report, const std::vector<std::string>& adapter,
                             const QString& connection)
{
    // The summary first: it shows without scrolling.
    QStringList lines{
        tr("%1 of %2 ECUs answer over %3").arg(report.answering()).arg(report.ecus.size()).arg(connection)};
    for (const auto& line : adapter)
        lines << QString::fromStdString(line);
    for (const auto& ecu : report.ecus) {
        lines << (ecu.error == 0 ? tr("%1: answers").arg(QString::fromStdString(ecu.ecu))
                                 : tr("%1: error %2: %3")
                                       .arg(QString::fromStdString(ecu.ecu))
                                       .arg(QStringLiteral("0x%1").arg(ecu.error, 4, 16, QLatin1Char('0')).toUpper())
                                       .arg(QString::fromStdString(ecu.why)));
    }
    if (report.closing) lines << QString::fromStdString(report.closing->description());
    say(lines.join(QLatin1Char('\n')), report.ecus.empty() || report.answering() < report.ecus.size());
    ping_->setEnabled(true);
    emit pinged();
}
