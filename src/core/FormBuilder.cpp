#include "Form.h"

#include "Pictures.h"

namespace TavrinIoCtl {
namespace {

struct Builder {
    QWidget* surface;
    Form& form;
    const TavrinPlatform::TwipsScale& scale;

    template <typename W>
    W* make(QWidget* parent, const char* name, const char* type, int index = -1)
    {
        auto* widget = new W(parent);
        widget->setObjectName(QString::fromLatin1(name));
        TavrinPlatform::setClassicType(widget, QString::fromLatin1(type), index);
        form.controls.append(widget);
        return widget;
    }
    void place(QWidget* widget, double left, double top, double width, double height) const
    {
        widget->setGeometry(scale.toPixels(left, top, width, height));
    }
    QGroupBox* frame(const char* name, const char* caption)
    {
        auto* box = make<QGroupBox>(surface, name, "Frame");
        box->setTitle(QString::fromUtf8(caption));
        return box;
    }
    ListView* list(QWidget* parent, const char* name)
    {
        auto* view = make<ListView>(parent, name, "ListView");
        return view;
    }
    QPushButton* button(QWidget* parent, const char* name, const char* caption)
    {
        auto* b = make<QPushButton>(parent, name, "CommandButton");
        b->setText(QString::fromUtf8(caption));
        return b;
    }
    int px(double twips) const { return scale.toPixelsX(twips); }
};

void buildFrames(Builder& b)
{
    b.form.FrFunctions = b.frame("FrFunctions", "List of functions");
    b.form.FrDevices = b.frame("FrDevices", "Devices list");
    b.form.FrParameters = b.frame("FrParameters", "Parameters");
    b.form.FrData = b.frame("FrData", "Data");
    b.form.FrSession = b.frame("FrSession", "Diagnosis Session");
    b.form.FrComm = b.frame("FrComm", "Communication");
    b.place(b.form.FrSession, 0, 0, 6000, 615);
}

void buildLists(Builder& b)
{
    Form& f = b.form;
    f.lvFunctions = b.list(f.FrFunctions, "lvFunctions");
    f.lvFunctions->addColumn(QStringLiteral("FCTS"), QStringLiteral("Function"), b.px(1500));
    f.lvFunctions->addColumn(QStringLiteral("ECU"), QStringLiteral("ECU"), b.px(2000));
    // Lists start as wide as their columns, so the proportional rule of the layout starts from their shares.
    b.place(f.lvFunctions, 60, 240, 1500 + 2000 + 90, 3000);
    f.lvDevices = b.list(f.FrDevices, "lvDevices");
    f.lvDevices->addColumn(QStringLiteral("DEV"), QStringLiteral("Device Name"), b.px(1800));
    f.lvDevices->addColumn(QString(), QStringLiteral("Id"), b.px(600), Qt::AlignRight);
    f.lvDevices->addColumn(QStringLiteral("TEMP"), QStringLiteral("T"), b.px(300), Qt::AlignHCenter);
    f.lvDevices->addColumn(QStringLiteral("PERM"), QStringLiteral("P"), b.px(300), Qt::AlignHCenter);
    b.place(f.lvDevices, 60, 240, 1800 + 600 + 300 + 300 + 90, 3000);
    f.lvData = b.list(f.FrData, "lvData");
    f.lvData->addColumn(QStringLiteral("DATA"), QStringLiteral("Data Associate to device"), b.px(3000));
    f.lvData->addColumn(QStringLiteral("VALUE"), QStringLiteral("Value"), b.px(1200));
    b.place(f.lvData, 60, 240, 3000 + 1200 + 90, 3000);
    f.lvStatus = b.list(f.FrComm, "lvStatus");
    f.lvStatus->addColumn(QString(), QStringLiteral("Name"), b.px(3000));
    f.lvStatus->addColumn(QString(), QStringLiteral("Value"), b.px(2700));
    b.place(f.lvStatus, 90, 960, 3000 + 2700 + 90, 1500);
}

void buildParameterPanel(Builder& b)
{
    Form& f = b.form;
    f.PFondPicture = b.make<PictureBox>(f.FrParameters, "PFondPicture", "PictureBox");
    b.place(f.PFondPicture, 120, 240, 5655, 3375);
    f.ParamPicture = b.make<PictureBox>(f.PFondPicture, "ParamPicture", "PictureBox");
    b.place(f.ParamPicture, 0, 0, 5655, 3375);
    f.ParamVScroll = b.make<QScrollBar>(f.FrParameters, "ParamVScroll", "VScrollBar");
    f.ParamVScroll->setOrientation(Qt::Vertical);
    f.ParamVScroll->setRange(0, 0);
    b.place(f.ParamVScroll, 5760, 240, 255, 3375);
    auto* templ = b.make<DiagItemViewWrite>(f.ParamPicture, "DeviceParam", "DiagItemViewWrite", 0);
    b.place(templ, 0, 0, 7215, 315);
    templ->hide();
    f.DeviceParam.append(templ);
    f.DiSessionName = b.make<DiagItemViewWrite>(f.FrSession, "DiSessionName", "DiagItemViewWrite");
    b.place(f.DiSessionName, 120, 210, 5775, 315);
    f.DiSessionName->hide();
}

void buildDataControls(Builder& b)
{
    Form& f = b.form;
    f.cbReadData = b.button(f.FrData, "cbReadData", "Read Data");
    b.place(f.cbReadData, 120, 0, 1575, 375);
    f.ckReadData = b.make<QCheckBox>(f.FrData, "ckReadData", "CheckBox");
    f.ckReadData->setText(QStringLiteral("Monitor data during  IOcontrol"));
    b.place(f.ckReadData, 1800, 0, 2535, 375);
}

void buildDriveControls(Builder& b)
{
    Form& f = b.form;
    // The keys of the drive buttons, said until the language file gives its own tips.
    f.cbStartTempo = b.button(f.FrComm, "cbStartTempo", "Start tempo");
    f.cbStartTempo->setToolTip(QStringLiteral("Drive the device temporarily (F5)"));
    b.place(f.cbStartTempo, 120, 210, 1335, 375);
    f.cbStartPerm = b.button(f.FrComm, "cbStartPerm", "Start perm");
    f.cbStartPerm->setToolTip(QStringLiteral("Drive the device permanently (F6)"));
    b.place(f.cbStartPerm, 1560, 210, 1335, 375);
    f.CbStop = b.button(f.FrComm, "CbStop", "");
    f.CbStop->setToolTip(QStringLiteral("Stop driving the device (F7)"));
    f.CbStop->setIcon(TavrinPlatform::Pictures::stopSign());
    f.CbStop->setIconSize(QSize(32, 32));
    b.place(f.CbStop, 2400, 180, 1335, 735);
    f.cbEstop = b.button(f.FrComm, "cbEstop", "");
    f.cbEstop->setToolTip(QStringLiteral("Emergency stop: stop the device and close the communication at once (Esc)"));
    f.cbEstop->setIcon(TavrinPlatform::Pictures::emergencyStop());
    f.cbEstop->setIconSize(QSize(40, 40));
    b.place(f.cbEstop, 4080, 180, 1815, 735);
    const char* captions[] = {"None", "Monitor Status", "Tester present P2P"};
    for (int i = 0; i < 3; ++i) {
        f.OptionPerm[i] = b.make<QRadioButton>(f.FrComm, "OptionPerm", "OptionButton", i);
        f.OptionPerm[i]->setText(QString::fromUtf8(captions[i]));
        b.place(f.OptionPerm[i], 3120, 135 + 240 * i, 2775, 195);
    }
    f.OptionPerm[0]->setChecked(true);
    for (QWidget* w : {static_cast<QWidget*>(f.cbStartTempo), static_cast<QWidget*>(f.cbStartPerm),
                       static_cast<QWidget*>(f.CbStop), static_cast<QWidget*>(f.cbEstop)}) {
        w->hide();
    }
    for (auto* option : f.OptionPerm)
        option->hide();
}

void buildTimeDisplay(Builder& b)
{
    Form& f = b.form;
    f.LabelTime = b.make<QLabel>(f.FrComm, "LabelTime", "Label");
    f.LabelTime->setText(QStringLiteral("Time"));
    b.place(f.LabelTime, 120, 660, 855, 255);
    f.lbTime = b.make<QLabel>(f.FrComm, "lbTime", "Label");
    f.lbTime->setText(QStringLiteral("0"));
    f.lbTime->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    f.lbTime->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    b.place(f.lbTime, 1080, 630, 795, 300);
    f.PictureRunning = b.make<PictureBox>(f.FrComm, "PictureRunning", "PictureBox");
    b.place(f.PictureRunning, 1920, 660, 240, 240);
    f.PictureRunning->hide();
    f.runLog = b.make<TavrinPlatform::RunLogView>(f.FrComm, "runLog", "ListBox");
}

void buildReporting(Builder& b)
{
    Form& f = b.form;
    f.picLed = b.make<PictureBox>(b.surface, "picLed", "PictureBox");
    b.place(f.picLed, 0, 0, 300, 300);
    f.picLed->hide();
    f.ilstLeds = new TavrinPlatform::ImageList(b.surface);
    f.ilstLeds->setObjectName(QStringLiteral("ilstLeds"));
    f.ilstLeds->add(QStringLiteral("Green"), TavrinPlatform::Pictures::led(QColor(30, 190, 60)));
    f.ilstLeds->add(QStringLiteral("Red"), TavrinPlatform::Pictures::led(QColor(220, 30, 30)));
    f.ilstLeds->add(QStringLiteral("Amber"), TavrinPlatform::Pictures::led(QColor(240, 160, 0)));
    f.ilstRunning = new TavrinPlatform::ImageList(b.surface);
    f.ilstRunning->setObjectName(QStringLiteral("ilstRunning"));
    for (int frame = 0; frame < 4; ++frame)
        f.ilstRunning->add(QString(), TavrinPlatform::Pictures::runningFrame(frame));

    f.sbMain = b.make<TavrinPlatform::StatusPanels>(b.surface, "sbMain", "StatusBar");
    f.sbMain->addPanel(QStringLiteral("MSG"), QString(), 1);
    auto* version = f.sbMain->addPanel(QStringLiteral("VERSION"), QStringLiteral("V1.0.0.0"));
    version->setToolTip(QStringLiteral("Version of IOcontrol Module"));
    f.sbMain->addPanel(QStringLiteral("DIAG"), QStringLiteral(" Diag "));
    f.sbMain->addPanel(QStringLiteral("Led"), QString());
    f.sbMain->addKeyboardPanel(QStringLiteral("Maj"), QStringLiteral("CAPS"));
    f.sbMain->addKeyboardPanel(QStringLiteral("Num"), QStringLiteral("NUM"));
    f.sbMain->addClockPanel();
}

void buildTimers(Builder& b)
{
    Form& f = b.form;
    f.ioCtlTimer = new QTimer(b.surface);
    f.ioCtlTimer->setObjectName(QStringLiteral("ioCtlTimer"));
    f.ioCtlTimer->setTimerType(Qt::PreciseTimer);
    f.ioCtlTimer->setInterval(1);
    f.timRun = new QTimer(b.surface);
    f.timRun->setObjectName(QStringLiteral("timRun"));
}

}  // namespace

void buildForm(QWidget* surface, Form& form, const TavrinPlatform::TwipsScale& scale)
{
    Builder builder{surface, form, scale};
    buildFrames(builder);
    buildLists(builder);
    buildParameterPanel(builder);
    buildDataControls(builder);
    buildDriveControls(builder);
    buildTimeDisplay(builder);
    buildReporting(builder);
    buildTimers(builder);
}

void orderTabs(const Form& f)
{
    QList<QWidget*> chain{f.lvFunctions, f.lvDevices};
    for (qsizetype i = 1; i < f.DeviceParam.size(); ++i)
        chain << f.DeviceParam[i]->editor();
    chain << f.DiSessionName->editor() << f.cbStartTempo << f.cbStartPerm << f.OptionPerm[0] << f.OptionPerm[1]
          << f.OptionPerm[2] << f.CbStop << f.cbEstop << f.ckReadData << f.cbReadData << f.lvData << f.lvStatus
          << f.runLog;
    for (qsizetype i = 1; i < chain.size(); ++i)
        QWidget::setTabOrder(chain[i - 1], chain[i]);
}

}  // namespace TavrinIoCtl
