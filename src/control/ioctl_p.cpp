#include "ioctl_p.h"

#include "AssistiveTexts.h"
#include "CaptionFit.h"
#include "ControlErrors.h"
#include "Layout.h"
#include "MultiLanguage.h"
#include "TranslateControls.h"
#include "Utf8.h"

namespace TavrinIoCtl {

void ioctlPrivate::buildWindow()
{
    buildWindowFrames(&q, frames, platform.scale);
    catalogue.buildWidgets(frames, platform.scale);
    sequencer.buildWidgets(&q, frames, platform.scale);
    report.buildWidgets(&q, frames, platform.scale);
}

QList<QObject*> ioctlPrivate::translatedControls() const
{
    return frames.translated + catalogue.widgets().translated + sequencer.widgets().translated +
           report.widgets().translated;
}

void ioctlPrivate::connectEvents()
{
    const auto& lists = catalogue.widgets();
    const auto& drive = sequencer.widgets();
    QObject::connect(lists.lvFunctions, &QTreeWidget::itemClicked, &q,
                     [this](QTreeWidgetItem* item) { lvFunctions_ItemClick(item); });
    QObject::connect(lists.lvDevices, &TavrinPlatform::ListView::listClicked, &q, [this] { lvDevices_Click(); });
    // The keyboard chooses a row as a click does.
    QObject::connect(lists.lvFunctions, &TavrinPlatform::ListView::rowChosen, &q,
                     [this](QTreeWidgetItem* item) { lvFunctions_ItemClick(item); });
    QObject::connect(lists.lvDevices, &TavrinPlatform::ListView::rowChosen, &q, [this] { lvDevices_Click(); });
    QObject::connect(lists.lvFunctions, &TavrinPlatform::ListView::columnClicked, &q,
                     [this](int column) { lvFunctions_ColumnClick(column); });
    QObject::connect(lists.lvDevices, &TavrinPlatform::ListView::columnClicked, &q,
                     [this](int column) { lvDevices_ColumnClick(column); });
    QObject::connect(report.widgets().sbMain, &TavrinPlatform::StatusPanels::panelClicked, &q,
                     [this](const QString& key) { sbMain_PanelClick(key); });
    QObject::connect(drive.cbStartTempo, &QPushButton::clicked, &q, [this] { cbStartTempo_Click(); });
    QObject::connect(drive.cbStartPerm, &QPushButton::clicked, &q, [this] { cbStartPerm_Click(); });
    QObject::connect(drive.CbStop, &QPushButton::clicked, &q, [this] { CbStop_Click(); });
    QObject::connect(drive.cbEstop, &QPushButton::clicked, &q, [this] { cbEstop_Click(); });
    QObject::connect(drive.cbReadData, &QPushButton::clicked, &q, [this] { cbReadData_Click(); });
    QObject::connect(drive.ioCtlTimer, &QTimer::timeout, &q, [this] { ioCtlTimer_Timer(); });
    QObject::connect(drive.timRun, &QTimer::timeout, &q, [this] { timRun_Timer(); });
    QObject::connect(lists.ParamVScroll, &QScrollBar::valueChanged, &q,
                     [this](int value) { ParamVScroll_Change(value); });
    driveActions =
        new DriveActions(&q, drive, {[this] { return sequencer.canStopAgain(); }, [this] { stopDrivenDevices(); }});
}

void ioctlPrivate::refuseWhileRunning(const char* call) const
{
    if (!sequencer.running() && !sequencer.busy()) return;
    throw Sorvik3::Error(number(ControlError::SequenceRunning),
                         std::string(call) + " refused: " + meaning(ControlError::SequenceRunning));
}

void ioctlPrivate::initialise(const QString& szInstallServer, const QString& szUserInterfaceLanguage,
                              Sorvik3::SessionRef aDiagSession)
{
    report.SetBusy(false);
    sequencer.SetState(SequenceState::Idle);
    fields.InstallPath = szInstallServer;
    language.LoadLanguageFile(szInstallServer, szUserInterfaceLanguage);
    const QList<QObject*> controls = translatedControls();
    TranslateControls(language, controls, QStringLiteral("IoCtlMainForm/Controls"));
    translateAssistiveTexts(language, controls);
    sequencer.retranslate();
    report.showLed();
    driveActions->retranslate();
    fitCaptions(window());
    report.widgets().sbMain->panel(QStringLiteral("VERSION"))->setText(QStringLiteral("V") + q.ControlVersion());
    if (aDiagSession) {
        const Sorvik3::SessionRef former = std::exchange(fields.Session, std::move(aDiagSession));
        watchLine(former);
    }
    catalogue.LoadFunctionList();
}

void ioctlPrivate::watchLine(const Sorvik3::SessionRef& former)
{
    const auto watch = [](const Sorvik3::SessionRef& session, std::function<void(const Sorvik3::Error&)> lost) {
        if (auto* async = session ? session->Async() : nullptr) async->WatchLine(std::move(lost));
    };
    report.guard("watchLine", [&] {
        if (former != fields.Session) watch(former, {});
        // Called on the line's thread while the control lives (its end stops the watch first).
        watch(fields.Session, [this](const Sorvik3::Error& error) {
            const Failure failure{error.number(), text(error.description())};
            QMetaObject::invokeMethod(
                &q, [this, failure] { report.guard("lineLost", [&] { sequencer.lineLost(failure); }); },
                Qt::QueuedConnection);
        });
    });
}

void ioctlPrivate::lvFunctions_ItemClick(QTreeWidgetItem* item)
{
    // A choice would change the selection a request on the line reads when it returns.
    if (sequencer.busy()) return;
    report.guard("lvFunctions_ItemClick",
                 [&] { catalogue.lvFunctions_ItemClick(dynamic_cast<TavrinPlatform::ListItem*>(item)); });
}

void ioctlPrivate::lvDevices_Click()
{
    if (sequencer.busy()) return;
    report.guard("lvDevices_Click", [&] { catalogue.lvDevices_Click(); });
}

void ioctlPrivate::lvFunctions_ColumnClick(int column)
{
    report.guard("lvFunctions_ColumnClick",
                 [&] { catalogue.sortOnColumnClick(catalogue.widgets().lvFunctions, column); });
}

void ioctlPrivate::lvDevices_ColumnClick(int column)
{
    report.guard("lvDevices_ColumnClick", [&] { catalogue.sortOnColumnClick(catalogue.widgets().lvDevices, column); });
}

void ioctlPrivate::sbMain_PanelClick(const QString& key)
{
    std::optional<int32_t> code;
    report.guard("sbMain_PanelClick", [&] { code = report.errorOfPanelClick(key); });
    if (code) emit q.ErrorMsg(*code);
}

void ioctlPrivate::cbStartTempo_Click()
{
    report.guard("cbStartTempo_Click", [&] { sequencer.cbStartTempo_Click(); });
}

void ioctlPrivate::cbStartPerm_Click()
{
    report.guard("cbStartPerm_Click", [&] { sequencer.cbStartPerm_Click(); });
}

void ioctlPrivate::CbStop_Click()
{
    report.guard("CbStop_Click", [&] { sequencer.CbStop_Click(); });
}

void ioctlPrivate::cbEstop_Click()
{
    report.guard("cbEstop_Click", [&] { sequencer.cbEstop_Click(); });
}

void ioctlPrivate::stopDrivenDevices()
{
    report.guard("stopDrivenDevices", [&] { sequencer.stopAgain(); });
}

void ioctlPrivate::cbReadData_Click()
{
    report.guard("cbReadData_Click", [&] { sequencer.cbReadData_Click(); });
}

void ioctlPrivate::ioCtlTimer_Timer()
{
    report.guard("ioCtlTimer_Timer", [&] { sequencer.ioCtlTimer_Timer(); });
}

void ioctlPrivate::timRun_Timer()
{
    report.guard("timRun_Timer", [&] { sequencer.timRun_Timer(); });
}

void ioctlPrivate::ParamVScroll_Change(int value)
{
    report.guard("ParamVScroll_Change", [&] { catalogue.ParamVScroll_Change(value); });
}

void ioctlPrivate::UserControl_Resize()
{
    report.guard("UserControl_Resize", [&] {
        auto* bar = report.widgets().sbMain;
        const int barHeight = bar->sizeHint().height();
        bar->setGeometry(0, q.height() - barHeight, q.width(), barHeight);
        layoutControl(window(), platform, catalogue, q.size());
    });
}

}  // namespace TavrinIoCtl
