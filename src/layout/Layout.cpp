#include "Layout.h"

#include "CaptionFit.h"

#include <QHeaderView>

namespace TavrinIoCtl {
namespace {

// Reads geometry in twips and writes it back in pixels; sizes never go negative.
struct Twips {
    const TavrinPlatform::TwipsScale& s;

    double x(int px) const { return s.fromPixelsX(px); }
    double y(int px) const { return s.fromPixelsY(px); }
    double left(const QWidget* w) const { return x(w->x()); }
    double top(const QWidget* w) const { return y(w->y()); }
    double width(const QWidget* w) const { return x(w->width()); }
    double height(const QWidget* w) const { return y(w->height()); }
    void place(QWidget* w, double left, double top, double width, double height) const
    {
        w->setGeometry(s.toPixels(left, top, std::max(0.0, width), std::max(0.0, height)));
    }
    double columnWidth(const ListView* list, int column) const { return x(list->columnWidth(column)); }
    void setColumnWidth(ListView* list, int column, double twips) const
    {
        list->setColumnWidthNow(column, std::max(0, s.toPixelsX(twips)));
    }
};

constexpr double kBorderAllowance = 90.0;
constexpr double kMinimumStatusHeight = 1500.0;

// First column keeps its share of the usable width; the second takes the rest.
void proportionalColumns(const Twips& t, ListView* list, double oldUsable)
{
    const double newUsable = t.width(list) - kBorderAllowance;
    double first = t.columnWidth(list, 0);
    if (oldUsable > 0) first = std::trunc(first / oldUsable * newUsable);
    first = std::clamp(first, 0.0, std::max(0.0, newUsable));
    t.setColumnWidth(list, 0, first);
    t.setColumnWidth(list, 1, t.width(list) - first - kBorderAllowance);
}

void placeInFrame(const Twips& t, QWidget* list, QWidget* frame, double extraBottom = 0)
{
    t.place(list, t.x(4), t.y(16), t.width(frame) - t.x(8), t.height(frame) - t.y(20) - extraBottom);
}

constexpr int kRunLogLines = 3;

}  // namespace

QSize minimumControlSize(const WindowWidgets& f, const TavrinPlatform::TwipsScale& scale)
{
    // Each half of the lower row holds the stop row; FrComm holds the stop buttons,
    // the status list at its least and a few lines of the run log.
    const int width = 2 * stopRowMinimumWidth(f);
    const int logHeight = kRunLogLines * f.report.runLog->rowHeight() + 2 * f.report.runLog->frameWidth() + 4;
    const int commHeight =
        std::max(f.sequencer.CbStop->geometry().bottom(), f.sequencer.cbEstop->geometry().bottom()) + 4;
    const int statusBottom = f.catalogue.lvStatus->y() + scale.toPixelsY(kMinimumStatusHeight) + 4;
    const int rowHeight = f.frames.FrSession->height() + std::max(commHeight, statusBottom + logHeight);
    return {width, 2 * rowHeight + f.report.sbMain->sizeHint().height()};
}

void layoutControl(const WindowWidgets& f, const Platform& platform, Catalogue& catalogue, QSize surfacePixels)
{
    const Twips t{platform.scale};
    const double W = t.x(surfacePixels.width());
    const double H = (t.y(surfacePixels.height()) - t.height(f.report.sbMain)) / 2;

    t.place(f.frames.FrFunctions, 0, 0, W / 10 * 3, H);
    double w0 = t.width(f.catalogue.lvFunctions) - kBorderAllowance;
    placeInFrame(t, f.catalogue.lvFunctions, f.frames.FrFunctions);
    proportionalColumns(t, f.catalogue.lvFunctions, w0);

    t.place(f.frames.FrDevices, t.width(f.frames.FrFunctions), 0, W / 10 * 3, H);
    placeInFrame(t, f.catalogue.lvDevices, f.frames.FrDevices);
    t.setColumnWidth(f.catalogue.lvDevices, 0,
                     t.width(f.catalogue.lvDevices) - t.columnWidth(f.catalogue.lvDevices, 1) -
                         t.columnWidth(f.catalogue.lvDevices, 2) - t.columnWidth(f.catalogue.lvDevices, 3) -
                         kBorderAllowance);

    t.place(f.frames.FrParameters, t.left(f.frames.FrDevices) + t.width(f.frames.FrDevices), 0, W / 10 * 4, H);
    const double scrollWidth = t.width(f.catalogue.ParamVScroll);
    t.place(f.catalogue.ParamVScroll, t.width(f.frames.FrParameters) - scrollWidth - t.x(6), t.y(16), scrollWidth,
            t.height(f.frames.FrParameters) - t.y(22));
    t.place(f.catalogue.PFondPicture, t.x(6), t.y(16), t.width(f.frames.FrParameters) - scrollWidth - t.x(12),
            t.height(f.frames.FrParameters) - t.y(22));
    t.place(f.catalogue.ParamPicture, 0, 0, t.width(f.catalogue.PFondPicture), t.height(f.catalogue.PFondPicture));

    t.place(f.frames.FrData, 0, H, W / 2, H);
    w0 = t.width(f.catalogue.lvData) - kBorderAllowance;
    placeInFrame(t, f.catalogue.lvData, f.frames.FrData, t.height(f.sequencer.cbReadData));
    proportionalColumns(t, f.catalogue.lvData, w0);
    t.place(f.sequencer.cbReadData, t.left(f.sequencer.cbReadData),
            t.height(f.frames.FrData) - t.height(f.sequencer.cbReadData) - t.y(4), t.width(f.sequencer.cbReadData),
            t.height(f.sequencer.cbReadData));
    t.place(f.sequencer.ckReadData, t.left(f.sequencer.ckReadData),
            t.height(f.frames.FrData) - t.height(f.sequencer.ckReadData) - t.y(4), t.width(f.sequencer.ckReadData),
            t.height(f.sequencer.ckReadData));

    t.place(f.frames.FrSession, t.left(f.frames.FrData) + t.width(f.frames.FrData), H, W / 2,
            t.height(f.frames.FrSession));
    t.place(f.frames.FrComm, t.left(f.frames.FrData) + t.width(f.frames.FrData), H + t.height(f.frames.FrSession),
            W / 2, H - t.height(f.frames.FrSession));

    const double statusTop = t.top(f.catalogue.lvStatus);
    const double h = std::max(((t.height(f.frames.FrComm) - statusTop) + t.y(10)) / 3, kMinimumStatusHeight);
    w0 = t.width(f.catalogue.lvStatus) - kBorderAllowance;
    t.place(f.catalogue.lvStatus, t.x(6), statusTop, t.width(f.frames.FrComm) - t.x(12), h);
    proportionalColumns(t, f.catalogue.lvStatus, w0);
    const double logTop = t.top(f.catalogue.lvStatus) + t.height(f.catalogue.lvStatus) + t.y(4);
    t.place(f.report.runLog, t.x(6), logTop, t.width(f.frames.FrComm) - t.x(12), t.height(f.frames.FrComm) - logTop);

    fitCaptions(f);
    catalogue.LayoutParameterPanel();
}

}  // namespace TavrinIoCtl
