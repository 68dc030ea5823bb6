#include "ioctl.h"

#include "ControlErrors.h"
#include "TavrinIoCtlVersion.h"
#include "ioctl_p.h"

#include "AssistiveTexts.h"
#include "CaptionFit.h"
#include "Layout.h"
#include "MultiLanguage.h"
#include "TabOrder.h"
#include "TranslateControls.h"

#include <QMetaMethod>
#include <QResizeEvent>

#include <utility>

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

ioctl::ioctl(QWidget* parent) : QWidget(parent), d_(std::make_unique<ioctlPrivate>(*this))
{
    setObjectName(QStringLiteral("ioctl"));
    d_->platform.scale = TavrinPlatform::TwipsScale::ofWidget(this);
    d_->platform.font = font();
    d_->buildWindow();
    d_->report.errorHint = [this] {
        return d_->language.GetMessage("Clic here for error details", QStringLiteral("Messages/ClicHere"));
    };
    d_->report.message = [this](const QString& key, const QString& english) {
        return d_->language.GetMessage(english, key);
    };
    d_->report.ledMeaning = [this](const QString& colour) {
        return colour == QStringLiteral("Red")
                   ? d_->language.GetMessage("Busy: a sequence runs", QStringLiteral("Messages/LedBusy"))
               : colour == QStringLiteral("Amber")
                   ? d_->language.GetMessage("A device may still be driven", QStringLiteral("Messages/LedDriven"))
                   : d_->language.GetMessage("Idle: nothing is driven", QStringLiteral("Messages/LedIdle"));
    };
    d_->report.onBusy = [this](bool busy) {
        if (d_->driveActions) d_->driveActions->refresh();
        emit busyChanged(busy);
    };
    d_->sequencer.onStateChanged = [this](SequenceState state) { emit stateChanged(state); };
    d_->report.onError = [this](int32_t number, const QString& text) { emit errorReported(number, text); };
    d_->sequencer.ledger().onChange = [this] {
        d_->report.setDrivenWarning(!d_->sequencer.ledger().empty());
        if (!d_->sequencer.running()) d_->sequencer.refreshStartButtons();
        if (d_->driveActions) d_->driveActions->refresh();
        emit drivenDevicesChanged(DrivenDevices());
    };
    d_->sequencer.onLineFree = [this] {
        if (d_->driveActions) d_->driveActions->refresh();
    };
    // Asked for every value read: the signal's method is looked up once.
    d_->sequencer.wantsData = [this] {
        static const QMetaMethod dataReadSignal = QMetaMethod::fromSignal(&ioctl::dataRead);
        return isSignalConnected(dataReadSignal);
    };
    d_->sequencer.onDataRead = [this](const QString& name, const QString& unit, const QString& text, double value,
                                      uint32_t ms) { emit dataRead(name, unit, text, value, ms); };
    d_->catalogue.onTabStopsChanged = [this] { orderTabs(d_->window()); };
    d_->connectEvents();
    // A screen reader has names before any language file is read.
    translateAssistiveTexts(d_->language, d_->translatedControls());
    d_->driveActions->retranslate();
    orderTabs(d_->window());
    // A host that gives the control the focus gives it to the ECU list, where the work begins.
    setFocusProxy(d_->catalogue.widgets().lvFunctions);
}

ioctl::~ioctl()
{
    auto& f = d_->fields;
    f.AbortRequested = true;
    d_->sequencer.widgets().ioCtlTimer->stop();
    d_->sequencer.widgets().timRun->stop();
    // Receivers may be half gone while the host tears down: nothing more is told.
    blockSignals(true);
    d_->sequencer.ledger().onChange = nullptr;
    d_->sequencer.onLineFree = nullptr;
    // Nobody is left to tell that a device may still be driven: it is stopped.
    d_->report.guard("~ioctl", [&] { d_->sequencer.stopBeforeGoing(kStopAttempts); });
    // Item views let go of the session before the references are released.
    d_->catalogue.widgets().DiSessionName->setSession(nullptr);
    for (auto* item : d_->catalogue.widgets().DeviceParam)
        item->setSession(nullptr);
    d_->catalogue.releaseReferences();
    const Sorvik3::SessionRef former = std::move(f.Session);
    d_->watchLine(former);
}

Sorvik3::SessionRef ioctl::Session() const
{
    return d_->fields.Session;
}

void ioctl::setSession(Sorvik3::SessionRef newSession)
{
    d_->refuseWhileRunning("setSession");
    const Sorvik3::SessionRef former = std::exchange(d_->fields.Session, std::move(newSession));
    d_->watchLine(former);
    if (!d_->fields.InstallPath.isEmpty()) asSessionError([&] { d_->catalogue.LoadFunctionList(); });
}

void ioctl::initParameters(const QString& szInstallServer, const QString& szUserInterfaceLanguage,
                           Sorvik3::SessionRef aDiagSession)
{
    d_->refuseWhileRunning("initParameters");
    asSessionError([&] { d_->initialise(szInstallServer, szUserInterfaceLanguage, std::move(aDiagSession)); });
}

QString ioctl::ControlVersion() const
{
    return versionText(TAVRIN_IOCTL_VERSION_MAJOR, TAVRIN_IOCTL_VERSION_MINOR, TAVRIN_IOCTL_VERSION_TWEAK);
}

void ioctl::Abort()
{
    d_->report.guard("Abort", [&] { d_->sequencer.Abort(); });
}

QStringList ioctl::DrivenDevices() const
{
    return d_->sequencer.ledger().names();
}

bool ioctl::Busy() const
{
    return d_->fields.Busy;
}

void ioctl::stopDrivenDevices()
{
    d_->stopDrivenDevices();
}

QList<QAction*> ioctl::driveActions() const
{
    return d_->driveActions->actions();
}

QStringList ioctl::runLogLines() const
{
    const auto& lines = d_->report.widgets().runLog->lines();
    QStringList all;
    all.reserve(lines.lineCount());
    for (qsizetype i = 0; i < lines.lineCount(); ++i)
        all << lines.line(i);
    return all;
}

void ioctl::setClock(std::function<uint32_t()> clock)
{
    d_->platform.clock = clock ? std::move(clock) : TavrinPlatform::ClockFunction(TavrinPlatform::systemMilliseconds);
}

QSize ioctl::sizeHint() const
{
    return QSize(1000, 680);
}

QSize ioctl::minimumSizeHint() const
{
    return minimumControlSize(d_->window(), d_->platform.scale);
}

void ioctl::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    d_->UserControl_Resize();
}

}  // namespace TavrinIoCtl
