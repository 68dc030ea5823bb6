#include "SequencerWidgets.h"

#include "Pictures.h"
#include "Sequencer.h"
#include "WidgetMaker.h"

namespace TavrinIoCtl {
namespace {

void buildDataControls(WidgetMaker& b, const WindowFrames& frames, SequencerWidgets& w)
{
    w.cbReadData = b.button(frames.FrData, "cbReadData", "Read Data");
    b.place(w.cbReadData, 120, 0, 1575, 375);
    w.ckReadData = b.make<QCheckBox>(frames.FrData, "ckReadData", "CheckBox");
    w.ckReadData->setText(QStringLiteral("Monitor data during  IOcontrol"));
    b.place(w.ckReadData, 1800, 0, 2535, 375);
}

void buildDriveControls(WidgetMaker& b, const WindowFrames& frames, SequencerWidgets& w)
{
    QWidget* comm = frames.FrComm;
    // The keys of the drive buttons, said until the language file gives its own tips.
    w.cbStartTempo = b.button(comm, "cbStartTempo", "Start tempo");
    w.cbStartTempo->setToolTip(QStringLiteral("Drive the device temporarily (F5)"));
    b.place(w.cbStartTempo, 120, 210, 1335, 375);
    w.cbStartPerm = b.button(comm, "cbStartPerm", "Start perm");
    w.cbStartPerm->setToolTip(QStringLiteral("Drive the device permanently (F6)"));
    b.place(w.cbStartPerm, 1560, 210, 1335, 375);
    w.CbStop = b.button(comm, "CbStop", "");
    w.CbStop->setToolTip(QStringLiteral("Stop driving the device (F7)"));
    w.CbStop->setIcon(TavrinPlatform::Pictures::stopSign());
    w.CbStop->setIconSize(QSize(32, 32));
    b.place(w.CbStop, 2400, 180, 1335, 735);
    w.cbEstop = b.button(comm, "cbEstop", "");
    w.cbEstop->setToolTip(QStringLiteral("Emergency stop: stop the device and close the communication at once (Esc)"));
    w.cbEstop->setIcon(TavrinPlatform::Pictures::emergencyStop());
    w.cbEstop->setIconSize(QSize(40, 40));
    b.place(w.cbEstop, 4080, 180, 1815, 735);
    const char* captions[] = {"None", "Monitor Status", "Tester present P2P"};
    for (int i = 0; i < 3; ++i) {
        w.OptionPerm[i] = b.make<QRadioButton>(comm, "OptionPerm", "OptionButton", i);
        w.OptionPerm[i]->setText(QString::fromUtf8(captions[i]));
        b.place(w.OptionPerm[i], 3120, 135 + 240 * i, 2775, 195);
    }
    w.OptionPerm[0]->setChecked(true);
    for (QWidget* button : {static_cast<QWidget*>(w.cbStartTempo), static_cast<QWidget*>(w.cbStartPerm),
                            static_cast<QWidget*>(w.CbStop), static_cast<QWidget*>(w.cbEstop)}) {
        button->hide();
    }
    for (auto* option : w.OptionPerm)
        option->hide();
}

void buildTimeDisplay(QWidget* surface, WidgetMaker& b, const WindowFrames& frames, SequencerWidgets& w)
{
    w.LabelTime = b.make<QLabel>(frames.FrComm, "LabelTime", "Label");
    w.LabelTime->setText(QStringLiteral("Time"));
    b.place(w.LabelTime, 120, 660, 855, 255);
    w.lbTime = b.make<QLabel>(frames.FrComm, "lbTime", "Label");
    w.lbTime->setText(QStringLiteral("0"));
    w.lbTime->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    w.lbTime->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    b.place(w.lbTime, 1080, 630, 795, 300);
    w.PictureRunning = b.make<TavrinPlatform::PictureBox>(frames.FrComm, "PictureRunning", "PictureBox");
    b.place(w.PictureRunning, 1920, 660, 240, 240);
    w.PictureRunning->hide();
    w.ilstRunning = new TavrinPlatform::ImageList(surface);
    w.ilstRunning->setObjectName(QStringLiteral("ilstRunning"));
    for (int frame = 0; frame < 4; ++frame)
        w.ilstRunning->add(QString(), TavrinPlatform::Pictures::runningFrame(frame));
}

void buildTimers(QWidget* surface, SequencerWidgets& w)
{
    w.ioCtlTimer = new QTimer(surface);
    w.ioCtlTimer->setObjectName(QStringLiteral("ioCtlTimer"));
    w.ioCtlTimer->setTimerType(Qt::PreciseTimer);
    w.ioCtlTimer->setInterval(kTickIntervalMs);
    w.timRun = new QTimer(surface);
    w.timRun->setObjectName(QStringLiteral("timRun"));
    w.timRun->setInterval(kAnimationIntervalMs);
}

}  // namespace

void buildSequencerWidgets(QWidget* surface, const WindowFrames& frames, SequencerWidgets& widgets,
                           const TavrinPlatform::TwipsScale& scale)
{
    WidgetMaker maker{scale, widgets.translated};
    buildDataControls(maker, frames, widgets);
    buildDriveControls(maker, frames, widgets);
    buildTimeDisplay(surface, maker, frames, widgets);
    buildTimers(surface, widgets);
}

}  // namespace TavrinIoCtl
