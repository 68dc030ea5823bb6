#include "ioctl.h"

#include "ControlErrors.h"
#include "DriveShortcuts.h"
#include "TavrinIoCtlVersion.h"
#include "ioctlAutomation.h"

#include "AssistiveTexts.h"
#include "CaptionFit.h"
#include "Catalogue.h"
#include "ControlContext.h"
#include "Layout.h"
#include "MultiLanguage.h"
#include "Sequencer.h"
#include "TranslateControls.h"

#include <QMetaMethod>
#include <QResizeEvent>

namespace TavrinIoCtl {

QString versionText(int major, int minor, int revision)
{
    return QStringLiteral("%1.%2.0.%3").arg(major).arg(minor).arg(revision);
}

namespace {

// The host catches one type: whatever else a session library throws reaches it
// as Sorvik3::Error with the control's number for a foreign failure.
template <typename Call>
void asSessionError(Call&& call)
{
    try {
        call();
    } catch (const Sorvik3::Error&) {
        throw;
    } catch (const std::exception& error) {
        throw Sorvik3::Error(number(ControlError::Foreign), error.what());
    } catch (...) {
        throw controlError(ControlError::Foreign);
    }
}

}  // namespace

struct ioctl::Parts {
    Form form;
    ControlFields fields;
    Platform platform;
    Reporting report{form, fields};
    ControlContext context{form, fields, report, platform};
    Catalogue catalogue{context};
    Sequencer sequencer{context, catalogue};
};

ioctl::ioctl(QWidget* parent) : QWidget(parent), parts_(std::make_unique<Parts>())
{
    setObjectName(QStringLiteral("ioctl"));
    parts_->platform.scale = TavrinPlatform::TwipsScale::ofWidget(this);
    parts_->platform.font = font();
    buildForm(this, parts_->form, parts_->platform.scale);
    parts_->form.timRun->setInterval(kAnimationIntervalMs);
    parts_->report.errorHint = [] {
        return multilanguage::GetMessage("Clic here for error details", QStringLiteral("Messages/ClicHere"));
    };
    parts_->report.ledMeaning = [](const QString& colour) {
        return colour == QStringLiteral("Red")
                   ? multilanguage::GetMessage("Busy: a sequence runs", QStringLiteral("Messages/LedBusy"))
               : colour == QStringLiteral("Amber")
                   ? multilanguage::GetMessage("A device may still be driven", QStringLiteral("Messages/LedDriven"))
                   : multilanguage::GetMessage("Idle: nothing is driven", QStringLiteral("Messages/LedIdle"));
    };
    parts_->report.onBusy = [this](bool busy) { emit busyChanged(busy); };
    parts_->sequencer.onStateChanged = [this](SequenceState state) { emit stateChanged(state); };
    parts_->report.onError = [this](int32_t number, const QString& text) { emit errorReported(number, text); };
    parts_->sequencer.ledger().onChange = [this] {
        parts_->report.setDrivenWarning(!parts_->sequencer.ledger().empty());
        emit drivenDevicesChanged(DrivenDevices());
    };
    parts_->sequencer.wantsData = [this] { return isSignalConnected(QMetaMethod::fromSignal(&ioctl::dataRead)); };
    parts_->sequencer.onDataRead = [this](const QString& name, const QString& unit, const QString& text, double value,
                                          uint32_t ms) { emit dataRead(name, unit, text, value, ms); };
    connectEvents();
    // A screen reader has names before any language file is read.
    translateAssistiveTexts(parts_->form);
    orderTabs(parts_->form);
}

ioctl::~ioctl()
{
    auto& f = parts_->fields;
    f.AbortRequested = true;
    parts_->form.ioCtlTimer->stop();
    parts_->form.timRun->stop();
    // Receivers may be half gone while the host tears down: nothing more is told.
    blockSignals(true);
    parts_->sequencer.ledger().onChange = nullptr;
    // Nobody is left to tell that a device may still be driven: it is stopped.
    parts_->report.guard("~ioctl", [&] { parts_->sequencer.stopBeforeGoing(kStopAttempts); });
    // Item views let go of the session before the references are released.
    parts_->form.DiSessionName->setSession(nullptr);
    for (auto* item : parts_->form.DeviceParam)
        item->setSession(nullptr);
    parts_->catalogue.releaseReferences();
    f.Session.reset();
}

void ioctl::connectEvents()
{
    Form& f = parts_->form;
    connect(f.lvFunctions, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* item) { lvFunctions_ItemClick(item); });
    connect(f.lvDevices, &TavrinPlatform::ListView::listClicked, this, &ioctl::lvDevices_Click);
    // The keyboard chooses a row as a click does.
    connect(f.lvFunctions, &TavrinPlatform::ListView::rowChosen, this,
            [this](QTreeWidgetItem* item) { lvFunctions_ItemClick(item); });
    connect(f.lvDevices, &TavrinPlatform::ListView::rowChosen, this, &ioctl::lvDevices_Click);
    connect(f.lvFunctions, &TavrinPlatform::ListView::columnClicked, this, &ioctl::lvFunctions_ColumnClick);
    connect(f.lvDevices, &TavrinPlatform::ListView::columnClicked, this, &ioctl::lvDevices_ColumnClick);
    connect(f.sbMain, &TavrinPlatform::StatusPanels::panelClicked, this, &ioctl::sbMain_PanelClick);
    connect(f.cbStartTempo, &QPushButton::clicked, this, &ioctl::cbStartTempo_Click);
    connect(f.cbStartPerm, &QPushButton::clicked, this, &ioctl::cbStartPerm_Click);
    connect(f.CbStop, &QPushButton::clicked, this, &ioctl::CbStop_Click);
    connect(f.cbEstop, &QPushButton::clicked, this, &ioctl::cbEstop_Click);
    connect(f.cbReadData, &QPushButton::clicked, this, &ioctl::cbReadData_Click);
    connect(f.ioCtlTimer, &QTimer::timeout, this, &ioctl::ioCtlTimer_Timer);
    connect(f.timRun, &QTimer::timeout, this, &ioctl::timRun_Timer);
    connect(f.ParamVScroll, &QScrollBar::valueChanged, this, &ioctl::ParamVScroll_Change);
    addDriveShortcuts(this, f);
}

Sorvik3::SessionRef ioctl::Session() const
{
    return parts_->fields.Session;
}

void ioctl::refuseWhileRunning(const char* call) const
{
    if (!parts_->sequencer.running() && !parts_->sequencer.busy()) return;
    throw Sorvik3::Error(number(ControlError::SequenceRunning),
                         std::string(call) + " refused: " + meaning(ControlError::SequenceRunning));
}

void ioctl::setSession(Sorvik3::SessionRef newSession)
{
    refuseWhileRunning("setSession");
    parts_->fields.Session = std::move(newSession);
    if (!parts_->fields.InstallPath.isEmpty()) asSessionError([&] { parts_->catalogue.LoadFunctionList(); });
}

void ioctl::initParameters(const QString& szInstallServer, const QString& szUserInterfaceLanguage,
                           Sorvik3::SessionRef aDiagSession)
{
    refuseWhileRunning("initParameters");
    asSessionError([&] { initialise(szInstallServer, szUserInterfaceLanguage, std::move(aDiagSession)); });
}

void ioctl::initialise(const QString& szInstallServer, const QString& szUserInterfaceLanguage,
                       Sorvik3::SessionRef aDiagSession)
{
    parts_->report.SetBusy(false);
    parts_->sequencer.SetState(SequenceState::Idle);
    parts_->fields.InstallPath = szInstallServer;
    multilanguage::LoadLanguageFile(szInstallServer, szUserInterfaceLanguage);
    TranslateControls(parts_->form.controls, QStringLiteral("IoCtlMainForm/Controls"));
    translateAssistiveTexts(parts_->form);
    parts_->report.showLed();
    fitCaptions(parts_->form);
    parts_->form.sbMain->panel(QStringLiteral("VERSION"))->setText(QStringLiteral("V") + ControlVersion());
    if (aDiagSession) parts_->fields.Session = std::move(aDiagSession);
    parts_->catalogue.LoadFunctionList();
}

QString ioctl::ControlVersion() const
{
    return versionText(TAVRIN_IOCTL_VERSION_MAJOR, TAVRIN_IOCTL_VERSION_MINOR, TAVRIN_IOCTL_VERSION_TWEAK);
}

void ioctl::Abort()
{
    parts_->report.guard("Abort", [&] { parts_->sequencer.Abort(); });
}

QStringList ioctl::DrivenDevices() const
{
    return parts_->sequencer.ledger().names();
}

bool ioctl::Busy() const
{
    return parts_->fields.Busy;
}

QStringList ioctl::runLogLines() const
{
    const auto& lines = parts_->form.runLog->lines();
    QStringList all;
    all.reserve(lines.lineCount());
    for (qsizetype i = 0; i < lines.lineCount(); ++i)
        all << lines.line(i);
    return all;
}

void ioctl::setClock(std::function<uint32_t()> clock)
{
    parts_->platform.clock =
        clock ? std::move(clock) : TavrinPlatform::ClockFunction(TavrinPlatform::systemMilliseconds);
}

void Automation::setTwipsScale(ioctl& control, TavrinPlatform::TwipsScale scale)
{
    control.parts_->platform.scale = scale;
    control.UserControl_Resize();
}

void Automation::setTextMeasure(ioctl& control, TavrinPlatform::TextMeasure measure)
{
    control.parts_->platform.measure = measure ? std::move(measure) : TavrinPlatform::measureWithFontMetrics;
}

void Automation::setUserLocale(ioctl& control, const QLocale& locale)
{
    control.parts_->platform.seconds = TavrinPlatform::SecondsText(locale);
}

const Form& Automation::form(const ioctl& control)
{
    return control.parts_->form;
}

const ControlFields& Automation::fields(const ioctl& control)
{
    return control.parts_->fields;
}

const DeviceSelection& Automation::selection(const ioctl& control)
{
    return control.parts_->catalogue.selection();
}

const RunState& Automation::runState(const ioctl& control)
{
    return control.parts_->sequencer.runState();
}

bool Automation::requestInFlight(const ioctl& control)
{
    return control.parts_->sequencer.busy();
}

QSize ioctl::sizeHint() const
{
    return QSize(1000, 680);
}

QSize ioctl::minimumSizeHint() const
{
    return minimumControlSize(parts_->form, parts_->context.platform.scale);
}

void ioctl::lvFunctions_ItemClick(QTreeWidgetItem* item)
{
    // A choice would change the selection a request on the line reads when it returns.
    if (parts_->sequencer.busy()) return;
    parts_->report.guard("lvFunctions_ItemClick", [&] {
        parts_->catalogue.lvFunctions_ItemClick(dynamic_cast<TavrinPlatform::ListItem*>(item));
    });
}

void ioctl::lvDevices_Click()
{
    if (parts_->sequencer.busy()) return;
    parts_->report.guard("lvDevices_Click", [&] { parts_->catalogue.lvDevices_Click(); });
}

void ioctl::lvFunctions_ColumnClick(int column)
{
    parts_->report.guard("lvFunctions_ColumnClick",
                         [&] { parts_->catalogue.sortOnColumnClick(parts_->form.lvFunctions, column); });
}

void ioctl::lvDevices_ColumnClick(int column)
{
    parts_->report.guard("lvDevices_ColumnClick",
                         [&] { parts_->catalogue.sortOnColumnClick(parts_->form.lvDevices, column); });
}

void ioctl::sbMain_PanelClick(const QString& key)
{
    std::optional<int32_t> code;
    parts_->report.guard("sbMain_PanelClick", [&] { code = parts_->report.errorOfPanelClick(key); });
    if (code) emit ErrorMsg(*code);
}

void ioctl::cbStartTempo_Click()
{
    parts_->report.guard("cbStartTempo_Click", [&] { parts_->sequencer.cbStartTempo_Click(); });
}

void ioctl::cbStartPerm_Click()
{
    parts_->report.guard("cbStartPerm_Click", [&] { parts_->sequencer.cbStartPerm_Click(); });
}

void ioctl::CbStop_Click()
{
    parts_->report.guard("CbStop_Click", [&] { parts_->sequencer.CbStop_Click(); });
}

void ioctl::cbEstop_Click()
{
    parts_->report.guard("cbEstop_Click", [&] { parts_->sequencer.cbEstop_Click(); });
}

void ioctl::cbReadData_Click()
{
    parts_->report.guard("cbReadData_Click", [&] { parts_->sequencer.cbReadData_Click(); });
}

void ioctl::ioCtlTimer_Timer()
{
    parts_->report.guard("ioCtlTimer_Timer", [&] { parts_->sequencer.ioCtlTimer_Timer(); });
}

void ioctl::timRun_Timer()
{
    parts_->report.guard("timRun_Timer", [&] { parts_->sequencer.timRun_Timer(); });
}

void ioctl::ParamVScroll_Change(int value)
{
    parts_->report.guard("ParamVScroll_Change", [&] { parts_->catalogue.ParamVScroll_Change(value); });
}

void ioctl::UserControl_Resize()
{
    parts_->report.guard("UserControl_Resize", [&] {
        Form& f = parts_->form;
        const int barHeight = f.sbMain->sizeHint().height();
        f.sbMain->setGeometry(0, height() - barHeight, width(), barHeight);
        layoutControl(parts_->context, parts_->catalogue, size());
    });
}

void ioctl::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    UserControl_Resize();
}

}  // namespace TavrinIoCtl
