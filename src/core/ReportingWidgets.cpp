#include "ReportingWidgets.h"

#include "Pictures.h"
#include "WidgetMaker.h"

namespace TavrinIoCtl {

void buildReportingWidgets(QWidget* surface, const WindowFrames& frames, ReportingWidgets& w,
                           const TavrinPlatform::TwipsScale& scale)
{
    WidgetMaker maker{scale, w.translated};
    w.runLog = maker.make<TavrinPlatform::RunLogView>(frames.FrComm, "runLog", "ListBox");
    w.picLed = maker.make<TavrinPlatform::PictureBox>(surface, "picLed", "PictureBox");
    maker.place(w.picLed, 0, 0, 300, 300);
    w.picLed->hide();
    w.ilstLeds = new TavrinPlatform::ImageList(surface);
    w.ilstLeds->setObjectName(QStringLiteral("ilstLeds"));
    w.ilstLeds->add(QStringLiteral("Green"), TavrinPlatform::Pictures::led(QColor(30, 190, 60)));
    w.ilstLeds->add(QStringLiteral("Red"), TavrinPlatform::Pictures::led(QColor(220, 30, 30)));
    w.ilstLeds->add(QStringLiteral("Amber"), TavrinPlatform::Pictures::led(QColor(240, 160, 0)));

    w.sbMain = maker.make<TavrinPlatform::StatusPanels>(surface, "sbMain", "StatusBar");
    w.sbMain->addPanel(QStringLiteral("MSG"), QString(), 1);
    auto* version = w.sbMain->addPanel(QStringLiteral("VERSION"), QStringLiteral("V1.0.0.0"));
    version->setToolTip(QStringLiteral("Version of IOcontrol Module"));
    w.sbMain->addPanel(QStringLiteral("DIAG"), QStringLiteral(" Diag "));
    w.sbMain->addPanel(QStringLiteral("Led"), QString());
    w.sbMain->addKeyboardPanel(QStringLiteral("Maj"), QStringLiteral("CAPS"));
    w.sbMain->addKeyboardPanel(QStringLiteral("Num"), QStringLiteral("NUM"));
    w.sbMain->addClockPanel();
}

}  // namespace TavrinIoCtl
