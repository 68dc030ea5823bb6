#include "DemoWindow.h"

#include "ConnectDialog.h"
#include "DrivenBanner.h"
#include "ErrorDetails.h"

#include <QActionGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSplitter>
#include <QStatusBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdio>
#include <utility>

DemoWindow::DemoWindow(QString installPath, QString language, LineTiming timing, bool headless)
    : control_(new TavrinIoCtl::ioctl(this)), plot_(nullptr), installPath_(std::move(installPath)),
      language_(std::move(language)), timing_(timing), headless_(headless)
{
    translators_.use(language_);
    // The control, and below it the plot of the run, there from the start so that
    // nothing moves when a run begins; the run's values stay after it. The plot
    // takes room only beyond the control's minimum size (Stop and the emergency
    // stop whole, a few lines of the run log); with too little room for both, the
    // window scrolls.
    plot_ = new RunPlot(*control_);
    plot_->setObjectName(QStringLiteral("plot"));
    plot_->setMinimumHeight(kPlotMinimumHeight);
    plot_->setEmptyText(tr("The values read during a test are drawn here."));
    split_ = new QSplitter(Qt::Vertical);
    auto* split = split_;
    split->setObjectName(QStringLiteral("controlAndPlot"));
    split->addWidget(control_);
    split->addWidget(plot_);
    split->setChildrenCollapsible(false);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);
    auto* scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("scroll"));
    scroll->setWidget(split);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    // Neither the scroll area nor the plot has anything to do with a key: no Tab stop
    // where Esc and F7 would seem lost and no focus would show.
    scroll->setFocusPolicy(Qt::NoFocus);
    plot_->setFocusPolicy(Qt::NoFocus);
    // Above everything, while a device may still be driven.
    banner_ = new DrivenBanner(*control_);
    connect(banner_, &DrivenBanner::detailsWanted, this, &DemoWindow::showErrorDetails);
    auto* central = new QWidget(this);
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(banner_);
    column->addWidget(scroll, 1);
    setCentralWidget(central);
    buildMenus();
    connect(control_, &TavrinIoCtl::ioctl::ErrorMsg, this, &DemoWindow::showErrorDetails);
    // The mode of a run is the start button that began it (pressed comes before the click starts the run).
    if (auto* tempo = control_->findChild<QPushButton*>(QStringLiteral("cbStartTempo")))
        connect(tempo, &QPushButton::pressed, this, [this] { mode_ = QStringLiteral("temporary"); });
    if (auto* perm = control_->findChild<QPushButton*>(QStringLiteral("cbStartPerm")))
        connect(perm, &QPushButton::pressed, this, [this] { mode_ = QStringLiteral("permanent"); });
}

QWidget* DemoWindow::drivenBanner() const
{
    return banner_;
}

void DemoWindow::buildMenus()
{
    menuBar()->clear();
    setWindowTitle(tr("Tavrin Input Output Control - demo"));
    QMenu* file = menuBar()->addMenu(tr("&Vehicle"));
    file->addAction(tr("&Open vehicle description..."), QKeySequence::Open, this, &DemoWindow::openVehicle);
    file->addAction(tr("&Connect..."), QKeySequence(Qt::CTRL | Qt::Key_L), this, &DemoWindow::chooseLink);
    file->addAction(tr("&Save run..."), QKeySequence::Save, this, &DemoWindow::saveRunAs);
    file->addSeparator();
    file->addAction(tr("&Quit"), QKeySequence(Qt::CTRL | Qt::Key_Q), this, &QWidget::close);

    QMenu* language = menuBar()->addMenu(tr("&Language"));
    auto* group = new QActionGroup(language);
    const QList<QPair<QString, QString>> languages = {{QStringLiteral("en"), QStringLiteral("English")},
                                                      {QStringLiteral("fr"), QStringLiteral("Français")},
                                                      {QStringLiteral("de"), QStringLiteral("Deutsch")}};
    for (const auto& [code, name] : languages) {
        QAction* action = language->addAction(name, this, [this, c = code] { chooseLanguage(c); });
        action->setCheckable(true);
        action->setChecked(code == language_);
        group->addAction(action);
    }

    // The divider between the control and the plot, without the mouse.
    QMenu* view = menuBar()->addMenu(tr("V&iew"));
    view->addAction(tr("&Larger plot"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Up), this,
                    [this] { movePlotDivider(-kPlotStep); });
    view->addAction(tr("&Smaller plot"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Down), this,
                    [this] { movePlotDivider(kPlotStep); });

    // The control's own actions: their keys and texts are the control's.
    QMenu* test = menuBar()->addMenu(tr("&Test"));
    test->addActions(control_->driveActions());
    test->addSeparator();
    test->addAction(tr("&Abort"), this, [this] {
        afterStopping([this] {
            control_->Abort();
            aborted_ = true;
        });
    });

    QMenu* help = menuBar()->addMenu(tr("&Help"));
    help->addAction(tr("&Keys"), QKeySequence::HelpContents, this,
                    [this] { QMessageBox::information(this, tr("Keys"), keysText()); });
    help->addAction(tr("&About"), this, [this] { QMessageBox::about(this, tr("About"), aboutText()); });
}

QString DemoWindow::keysText() const
{
    QStringList rows;
    for (const QAction* action : control_->driveActions()) {
        rows << QStringLiteral("<tr><td><b>%1</b></td><td>%2</td></tr>")
                    .arg(action->shortcut().toString(QKeySequence::NativeText).toHtmlEscaped(),
                         QString(action->text()).remove(QLatin1Char('&')).toHtmlEscaped());
    }
    const QList<QPair<QString, QString>> others = {
        {tr("Tab, Shift+Tab"), tr("Next, previous field")},
        {tr("Return, Space"), tr("Choose the ECU or the device")},
        {tr("Ctrl+1, Ctrl+2, ..."), tr("Sort the list by its first, second... column (again: the other way)")},
        {QStringLiteral("Ctrl+Shift+Up, Ctrl+Shift+Down"), tr("Larger, smaller plot")},
        {QKeySequence(QKeySequence::Open).toString(QKeySequence::NativeText), tr("Open a vehicle description")},
        {QStringLiteral("Ctrl+L"), tr("Connect to the vehicle")},
        {QKeySequence(QKeySequence::Save).toString(QKeySequence::NativeText), tr("Save the run")},
        {QStringLiteral("Ctrl+Q"), tr("Quit (a driven device is stopped first)")},
    };
    for (const auto& [keys, what] : others)
        rows
            << QStringLiteral("<tr><td><b>%1</b></td><td>%2</td></tr>").arg(keys.toHtmlEscaped(), what.toHtmlEscaped());
    return QStringLiteral("<p>%1</p><table cellspacing=\"6\">%2</table>")
        .arg(tr("Esc and F7 stop the device from anywhere in the application, an open menu or dialog included."),
             rows.join(QString()));
}

QString DemoWindow::aboutText() const
{
    return tr("<p><b>Tavrin Input Output Control</b> %1</p><p>Actuator tests on a vehicle's ECUs through "
              "KWP2000 input/output control.</p><p>Qt %2</p>")
        .arg(control_->ControlVersion(), QString::fromLatin1(qVersion()));
}

void DemoWindow::complain(const QString& what, const std::exception& error)
{
    QString details = QString::fromLocal8Bit(error.what());
    if (auto* sorvik = dynamic_cast<const Sorvik3::Error*>(&error)) {
        details = tr("Error %1: %2").arg(sorvik->number()).arg(QString::fromStdString(sorvik->description()));
    }
    if (headless_) {
        std::fprintf(stderr, "tavrin-demo: %s: %s\n", qPrintable(what),
                     qPrintable(details.replace(QStringLiteral("\r\n"), QStringLiteral(" / "))));
        return;
    }
    QMessageBox::warning(this, what, details);
}

TavrinApps::RunRecorder::Context DemoWindow::recordContext()
{
    // Read off the control's own widgets: what is chosen is what the user sees.
    auto current = [this] {
        auto selected = [this](const char* list) {
            const auto* view = control_->findChild<QTreeWidget*>(QLatin1String(list));
            const auto* item = view ? view->currentItem() : nullptr;
            return item ? item->text(0) : QString();
        };
        QString option;
        for (const auto* button : control_->findChildren<QRadioButton*>(QStringLiteral("OptionPerm"))) {
            if (button->isChecked()) option = button->text();
        }
        const auto* monitor = control_->findChild<QCheckBox*>(QStringLiteral("ckReadData"));
        return QStringList{selected("lvFunctions"), selected("lvDevices"), mode_, option,
                           monitor && monitor->isChecked() ? "1" : "0"};
    };
    return {current, [this] { return session_ ? session_->clockNow() : 0u; },
            [this] {
                if (!session_) return QStringList();
                const auto& vehicle = session_->vehicle();
                return QStringList{QString::fromStdString(vehicle.name), QString::fromStdString(vehicle.file),
                                   QString::fromStdString(session_->linkName())};
            }};
}

bool DemoWindow::saveRun(const QString& base, QString& why) const
{
    // The file that could not be written is named with the reason.
    const auto named = [&why](const QString& path, bool written) {
        if (!written) why = path + QStringLiteral(": ") + why;
        return written;
    };
    const QString logPath = base + QStringLiteral(".log");
    const QString csvPath = base + QStringLiteral(".csv");
    const QString reportPath = base + QStringLiteral(".json");
    return named(logPath, record_->writeLog(logPath, why)) && named(csvPath, record_->writeCsv(csvPath, why)) &&
           named(reportPath, record_->writeReport(reportPath, why));
}

void DemoWindow::saveRunAs()
{
    QString base = QFileDialog::getSaveFileName(this, tr("Save run"), QString(), tr("Run files (*.log *.csv *.json)"));
    if (base.isEmpty()) return;
    for (const char* ending : {".log", ".csv", ".json"}) {
        if (base.endsWith(QLatin1String(ending))) base.chop(static_cast<int>(qstrlen(ending)));
    }
    keepRun(base);
}

bool DemoWindow::keepRun(const QString& base)
{
    QString why;
    if (!saveRun(base, why)) {
        complain(tr("The run could not be saved"), std::runtime_error(why.toStdString()));
        return false;
    }
    const QFileInfo file(base);
    statusBar()->showMessage(tr("Run saved in %1: %2.log, %2.csv, %2.json")
                                 .arg(QDir::toNativeSeparators(file.absolutePath()), file.fileName()));
    return true;
}

bool DemoWindow::start(std::shared_ptr<TavrinKwp::KwpSession> session, const QString& vehiclePath)
{
    session_ = session;
    vehiclePath_ = vehiclePath;
    showLink();
    record_ = std::make_unique<TavrinApps::RunRecorder>(*control_, QStringLiteral("demo"), recordContext());
    try {
        control_->initParameters(installPath_, language_, std::move(session));
        // The work begins in the ECU list.
        control_->setFocus(Qt::OtherFocusReason);
        return true;
    } catch (const std::exception& error) {
        complain(tr("The control could not start"), error);
        return false;
    }
}

void DemoWindow::openVehicle()
{
    const QString path = QFileDialog::getOpenFileName(this, tr("Open vehicle description"), installPath_ + "/vehicles",
                                                      tr("Vehicle descriptions (*.xml)"));
    if (path.isEmpty()) return;
    const QString link = session_ ? QString::fromStdString(session_->linkName()) : QStringLiteral("sim");
    afterStopping([this, path, link] {
        if (reopen(path, link)) vehiclePath_ = path;
    });
}

void DemoWindow::chooseLink()
{
    const QString path = vehiclePath_;
    const LineTiming timing = timing_;
    ConnectDialog dialog(
        session_ ? QString::fromStdString(session_->linkName()) : QStringLiteral("sim"),
        [path, timing](const QString& link) { return ::openVehicle(path, timing, link); }, this);
    if (dialog.exec() == QDialog::Accepted) connectTo(dialog.connection());
}

bool DemoWindow::connectTo(const QString& link)
{
    auto reconnect = [this, link] {
        const bool done = reopen(vehiclePath_, link);
        if (done) showLink();
        return done;
    };
    if (!sequenceRuns()) return reconnect();
    afterStopping(reconnect);
    return false;
}

bool DemoWindow::reopen(const QString& path, const QString& link)
{
    try {
        auto session = ::openVehicle(path, timing_, link);
        control_->setSession(session);
        session_ = std::move(session);
        return true;
    } catch (const std::exception& error) {
        complain(path == vehiclePath_ ? tr("Link refused") : tr("Vehicle description refused"), error);
        return false;
    }
}

void DemoWindow::showLink()
{
    // Kept apart from the passing messages, which would replace it.
    if (linkLabel_ == nullptr) {
        linkLabel_ = new QLabel(this);
        linkLabel_->setObjectName(QStringLiteral("link"));
        statusBar()->addPermanentWidget(linkLabel_);
    }
    if (session_) linkLabel_->setText(tr("Link: %1").arg(QString::fromStdString(session_->linkName())));
}

void DemoWindow::chooseLanguage(const QString& code)
{
    afterStopping([this, code] {
        language_ = code;
        translators_.use(language_);
        buildMenus();
        banner_->retranslate();
        showLink();
        try {
            control_->initParameters(installPath_, language_);
        } catch (const std::exception& error) {
            complain(tr("Language file refused"), error);
        }
    });
}

void DemoWindow::movePlotDivider(int by)
{
    // The splitter keeps each side at its minimum: the control's Stop stays whole.
    const QList<int> sizes = split_->sizes();
    if (sizes.size() != 2) return;
    split_->setSizes({std::max(0, sizes[0] + by), std::max(0, sizes[1] - by)});
}

void DemoWindow::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (plotPlaced_) return;
    plotPlaced_ = true;
    // Once laid out: a third of the height for the plot, as far as the control
    // keeps its minimum. Later the divider stays where the user puts it.
    QTimer::singleShot(0, this, [this] {
        const int total = split_->height();
        const int spare = total - control_->minimumSizeHint().height() - split_->handleWidth();
        const int plot = std::max(plot_->minimumHeight(), std::min(total / 3, spare));
        split_->setSizes({std::max(0, total - plot - split_->handleWidth()), plot});
    });
}

void DemoWindow::closeEvent(QCloseEvent* event)
{
    if (closing_ || (!sequenceRuns() && control_->DrivenDevices().isEmpty())) {
        event->accept();
        return;
    }
    event->ignore();
    if (headless_) std::fprintf(stderr, "tavrin-demo: stopping the driven device before closing\n");
    afterStopping([this] {
        // A device whose stop was not confirmed gets the emergency stop's stop once more.
        if (!control_->DrivenDevices().isEmpty() && !aborted_) press("cbEstop");
        const QStringList driven = control_->DrivenDevices();
        if (!driven.isEmpty()) {
            std::fprintf(stderr, "tavrin-demo: may still be driven: %s\n", qPrintable(driven.join(", ")));
        }
        closing_ = true;
        close();
    });
}

void DemoWindow::afterStopping(std::function<void()> action)
{
    if (!sequenceRuns()) {
        action();
        return;
    }
    afterStop_ = std::move(action);
    if (stopping_) return;
    stopping_ = true;
    emergency_ = false;
    statusBar()->showMessage(tr("Stopping the device..."));
    press("CbStop");
    stopWatch_.start();
    stopCheck_.setInterval(50);
    connect(&stopCheck_, &QTimer::timeout, this, &DemoWindow::watchTheStop, Qt::UniqueConnection);
    stopCheck_.start();
}

// Goes on once the sequence is idle; past the limit, the emergency stop.
void DemoWindow::watchTheStop()
{
    if (!sequenceRuns()) {
        stopCheck_.stop();
        stopping_ = false;
        statusBar()->showMessage(control_->DrivenDevices().isEmpty() ? tr("Device stopped.")
                                                                     : tr("The device may still be driven."));
        if (auto action = std::exchange(afterStop_, nullptr)) action();
        return;
    }
    if (!emergency_ && stopWatch_.elapsed() > kStopLimitMs) {
        emergency_ = true;
        statusBar()->showMessage(tr("The stop did not end in time: emergency stop..."));
        press("cbEstop");
    }
}

// As the user would: a click on the control's button (also on one that is hidden now).
void DemoWindow::press(const char* button)
{
    if (auto* found = control_->findChild<QPushButton*>(QLatin1String(button))) found->click();
}

void DemoWindow::showErrorDetails(qint32 number)
{
    QString status;
    if (auto* panel = control_->findChild<QLabel*>(QStringLiteral("panelMSG"))) status = panel->text();
    QMessageBox::information(this, tr("Error details"), errorDetails(number, status));
}
