#include "CatalogueWidgets.h"

#include "WidgetMaker.h"

namespace TavrinIoCtl {
namespace {

void buildLists(WidgetMaker& b, const WindowFrames& frames, CatalogueWidgets& w)
{
    w.lvFunctions = b.list(frames.FrFunctions, "lvFunctions");
    w.lvFunctions->addColumn(QStringLiteral("FCTS"), QStringLiteral("Function"), b.px(1500));
    w.lvFunctions->addColumn(QStringLiteral("ECU"), QStringLiteral("ECU"), b.px(2000));
    // Lists start as wide as their columns, so the proportional rule of the layout starts from their shares.
    b.place(w.lvFunctions, 60, 240, 1500 + 2000 + 90, 3000);
    w.lvDevices = b.list(frames.FrDevices, "lvDevices");
    w.lvDevices->setRecycleRows(true);  // a big ECU refills it with thousands of rows on every click
    w.lvDevices->addColumn(QStringLiteral("DEV"), QStringLiteral("Device Name"), b.px(1800));
    w.lvDevices->addColumn(QString(), QStringLiteral("Id"), b.px(600), Qt::AlignRight);
    w.lvDevices->addColumn(QStringLiteral("TEMP"), QStringLiteral("T"), b.px(300), Qt::AlignHCenter);
    w.lvDevices->addColumn(QStringLiteral("PERM"), QStringLiteral("P"), b.px(300), Qt::AlignHCenter);
    b.place(w.lvDevices, 60, 240, 1800 + 600 + 300 + 300 + 90, 3000);
    w.lvData = b.list(frames.FrData, "lvData");
    w.lvData->addColumn(QStringLiteral("DATA"), QStringLiteral("Data Associate to device"), b.px(3000));
    w.lvData->addColumn(QStringLiteral("VALUE"), QStringLiteral("Value"), b.px(1200));
    b.place(w.lvData, 60, 240, 3000 + 1200 + 90, 3000);
    w.lvStatus = b.list(frames.FrComm, "lvStatus");
    w.lvStatus->addColumn(QString(), QStringLiteral("Name"), b.px(3000));
    w.lvStatus->addColumn(QString(), QStringLiteral("Value"), b.px(2700));
    b.place(w.lvStatus, 90, 960, 3000 + 2700 + 90, 1500);
}

void buildParameterPanel(WidgetMaker& b, const WindowFrames& frames, CatalogueWidgets& w)
{
    w.PFondPicture = b.make<PictureBox>(frames.FrParameters, "PFondPicture", "PictureBox");
    b.place(w.PFondPicture, 120, 240, 5655, 3375);
    w.ParamPicture = b.make<PictureBox>(w.PFondPicture, "ParamPicture", "PictureBox");
    b.place(w.ParamPicture, 0, 0, 5655, 3375);
    w.ParamVScroll = b.make<QScrollBar>(frames.FrParameters, "ParamVScroll", "VScrollBar");
    w.ParamVScroll->setOrientation(Qt::Vertical);
    w.ParamVScroll->setRange(0, 0);
    b.place(w.ParamVScroll, 5760, 240, 255, 3375);
    auto* templ = b.make<DiagItemViewWrite>(w.ParamPicture, "DeviceParam", "DiagItemViewWrite", 0);
    b.place(templ, 0, 0, 7215, 315);
    templ->hide();
    w.DeviceParam.append(templ);
    w.DiSessionName = b.make<DiagItemViewWrite>(frames.FrSession, "DiSessionName", "DiagItemViewWrite");
    b.place(w.DiSessionName, 120, 210, 5775, 315);
    w.DiSessionName->hide();
}

}  // namespace

void buildCatalogueWidgets(const WindowFrames& frames, CatalogueWidgets& widgets,
                           const TavrinPlatform::TwipsScale& scale)
{
    WidgetMaker maker{scale, widgets.translated};
    buildLists(maker, frames, widgets);
    buildParameterPanel(maker, frames, widgets);
}

}  // namespace TavrinIoCtl
