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
        list->setColumnWidth(column, std::max(0, s.toPixelsX(twips)));
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

QSize minimumControlSize(const Form& f, const TavrinPlatform::TwipsScale& scale)
{
    // Each half of the lower row holds the stop row; FrComm holds the stop buttons,
    // the status list at its least and a few lines of the run log.
    const int width = 2 * stopRowMinimumWidth(f);
    const int logHeight = kRunLogLines * f.runLog->rowHeight() + 2 * f.runLog->frameWidth() + 4;
    const int commHeight = std::max(f.CbStop->geometry().bottom(), f.cbEstop->geometry().bottom()) + 4;
    const int statusBottom = f.lvStatus->y() + scale.toPixelsY(kMinimumStatusHeight) + 4;
    const int rowHeight = f.FrSession->height() + std::max(commHeight, statusBottom + logHeight);
    return {width, 2 * rowHeight + f.sbMain->sizeHint().height()};
}

void layoutControl(ControlContext& c, Catalogue& catalogue, QSize surfacePixels)
{
    Form& f = c.form;
    const Twips t{c.platform.scale};
    const double W = t.x(surfacePixels.width());
    const double H = (t.y(surfacePixels.height()) - t.height(f.sbMain)) / 2;

    t.place(f.FrFunctions, 0, 0, W / 10 * 3, H);
    double w0 = t.width(f.lvFunctions) - kBorderAllowance;
    placeInFrame(t, f.lvFunctions, f.FrFunctions);
    proportionalColumns(t, f.lvFunctions, w0);

    t.place(f.FrDevices, t.width(f.FrFunctions), 0, W / 10 * 3, H);
    placeInFrame(t, f.lvDevices, f.FrDevices);
    t.setColumnWidth(f.lvDevices, 0,
                     t.width(f.lvDevices) - t.columnWidth(f.lvDevices, 1) - t.columnWidth(f.lvDevices, 2) -
                         t.columnWidth(f.lvDevices, 3) - kBorderAllowance);

    t.place(f.FrParameters, t.left(f.FrDevices) + t.width(f.FrDevices), 0, W / 10 * 4, H);
    const double scrollWidth = t.width(f.ParamVScroll);
    t.place(f.ParamVScroll, t.width(f.FrParameters) - scrollWidth - t.x(6), t.y(16), scrollWidth,
            t.height(f.FrParameters) - t.y(22));
    t.place(f.PFondPicture, t.x(6), t.y(16), t.width(f.FrParameters) - scrollWidth - t.x(12),
            t.height(f.FrParameters) - t.y(22));
    t.place(f.ParamPicture, 0, 0, t.width(f.PFondPicture), t.height(f.PFondPicture));

    t.place(f.FrData, 0, H, W / 2, H);
    w0 = t.width(f.lvData) - kBorderAllowance;
    placeInFrame(t, f.lvData, f.FrData, t.height(f.cbReadData));
    proportionalColumns(t, f.lvData, w0);
    t.place(f.cbReadData, t.left(f.cbReadData), t.height(f.FrData) - t.height(f.cbReadData) - t.y(4),
            t.width(f.cbReadData), t.height(f.cbReadData));
    t.place(f.ckReadData, t.left(f.ckReadData), t.height(f.FrData) - t.height(f.ckReadData) - t.y(4),
            t.width(f.ckReadData), t.height(f.ckReadData));

    t.place(f.FrSession, t.left(f.FrData) + t.width(f.FrData), H, W / 2, t.height(f.FrSession));
    t.place(f.FrComm, t.left(f.FrData) + t.width(f.FrData), H + t.height(f.FrSession), W / 2,
            H - t.height(f.FrSession));

    const double statusTop = t.top(f.lvStatus);
    const double h = std::max(((t.height(f.FrComm) - statusTop) + t.y(10)) / 3, kMinimumStatusHeight);
    w0 = t.width(f.lvStatus) - kBorderAllowance;
    t.place(f.lvStatus, t.x(6), statusTop, t.width(f.FrComm) - t.x(12), h);
    proportionalColumns(t, f.lvStatus, w0);
    const double logTop = t.top(f.lvStatus) + t.height(f.lvStatus) + t.y(4);
    t.place(f.runLog, t.x(6), logTop, t.width(f.FrComm) - t.x(12), t.height(f.FrComm) - logTop);

    fitCaptions(f);
    catalogue.LayoutParameterPanel();
}

}  // namespace TavrinIoCtl
