#include "ioctl_p.h"

#include "AssistiveTexts.h"
#include "CaptionFit.h"
#include "ControlErrors.h"
#include "DriveShortcuts.h"
#include "Layout.h"
#include "MultiLanguage.h"
#include "TranslateControls.h"

namespace TavrinIoCtl {

void ioctlPrivate::connectEvents()
{
    Form& f = form;
    QObject::connect(f.lvFunctions, &QTreeWidget::itemClicked, &q,
                     [this](QTreeWidgetItem* item) { lvFunctions_ItemClick(item); });
    QObject::connect(f.lvDevices, &TavrinPlatform::ListView::listClicked, &q, [this] { lvDevices_Click(); });
    // The keyboard chooses a row as a click does.
    QObject::connect(f.lvFunctions, &TavrinPlatform::ListView::rowChosen, &q,
                     [this](QTreeWidgetItem* item) { lvFunctions_ItemClick(item); });
    QObject::connect(f.lvDevices, &TavrinPlatform::ListView::rowChosen, &q, [this] { lvDevices_Click(); });
    QObject::connect(f.lvFunctions, &TavrinPlatform::ListView::columnClicked, &q,
                     [this](int column) { lvFunctions_ColumnClick(column); });
    QObject::connect(f.lvDevices, &TavrinPlatform::ListView::columnClicked, &q,
                     [this](int column) { lvDevices_ColumnClick(column); });
    QObject::connect(f.sbMain, &TavrinPlatform::StatusPanels::panelClicked, &q,
                     [this](const QString& key) { sbMain_PanelClick(key); });
    QObject::connect(f.cbStartTempo, &QPushButton::clicked, &q, [this] { cbStartTempo_Click(); });
    QObject::connect(f.cbStartPerm, &QPushButton::clicked, &q, [this] { cbStartPerm_Click(); });
    QObject::connect(f.CbStop, &QPushButton::clicked, &q, [this] { CbStop_Click(); });
    QObject::connect(f.cbEstop, &QPushButton::clicked, &q, [this] { cbEstop_Click(); });
    QObject::connect(f.cbReadData, &QPushButton::clicked, &q, [this] { cbReadData_Click(); });
    QObject::connect(f.ioCtlTimer, &QTimer::timeout, &q, [this] { ioCtlTimer_Timer(); });
    QObject::connect(f.timRun, &QTimer::timeout, &q, [this] { timRun_Timer(); });
    QObject::connect(f.ParamVScroll, &QScrollBar::valueChanged, &q, [this](int value) { ParamVScroll_Change(value); });
    addDriveShortcuts(&q, f);
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
    TranslateControls(language, form.controls, QStringLiteral("IoCtlMainForm/Controls"));
    translateAssistiveTexts(language, form);
    report.showLed();
    fitCaptions(form);
    form.sbMain->panel(QStringLiteral("VERSION"))->setText(QStringLiteral("V") + q.ControlVersion());
    if (aDiagSession) fields.Session = std::move(aDiagSession);
    catalogue.LoadFunctionList();
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
    report.guard("lvFunctions_ColumnClick", [&] { catalogue.sortOnColumnClick(form.lvFunctions, column); });
}

void ioctlPrivate::lvDevices_ColumnClick(int column)
{
    report.guard("lvDevices_ColumnClick", [&] { catalogue.sortOnColumnClick(form.lvDevices, column); });
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
        Form& f = form;
        const int barHeight = f.sbMain->sizeHint().height();
        f.sbMain->setGeometry(0, q.height() - barHeight, q.width(), barHeight);
        layoutControl(context, catalogue, q.size());
    });
}

}  // namespace TavrinIoCtl
