#include "CaptionFit.h"

#include <QAbstractButton>

#include <algorithm>
#include <vector>

namespace TavrinIoCtl {
namespace {

// The design geometry, remembered at the first fit so that every later fit
// starts from it rather than from a width an earlier, longer caption needed.
QRect designOf(QWidget* widget)
{
    const QVariant kept = widget->property("designGeometry");
    if (kept.isValid()) return kept.toRect();
    widget->setProperty("designGeometry", widget->geometry());
    return widget->geometry();
}

// The tool tip says the whole caption while it is cut, and is the widget's own again once it fits.
void tellWholeCaption(QAbstractButton* button, bool cut)
{
    const QString written = button->property("captionTip").toString();
    QString own = button->toolTip();
    if (!written.isEmpty() && own == written) own = button->property("ownTip").toString();
    button->setProperty("ownTip", own);
    QString tip = own;
    if (cut)
        tip = own.isEmpty() || own == button->text() ? button->text() : button->text() + QStringLiteral("\n") + own;
    button->setProperty("captionTip", cut ? tip : QString());
    button->setToolTip(tip);
}

// A column of the row: widgets that share their left edge (the options stand one below the other).
using Column = std::vector<QAbstractButton*>;

void fitRow(const std::vector<Column>& row, int frameWidth)
{
    constexpr int kMargin = 4;
    int nextLeft = 0;
    for (size_t i = 0; i < row.size(); ++i) {
        const QRect design = designOf(row[i].front());
        int needed = design.width();
        for (QAbstractButton* button : row[i])
            needed = std::max(needed, button->sizeHint().width());
        const int left = std::max(design.left(), nextLeft);
        const int width = std::max(0, std::min(needed, frameWidth - kMargin - left));
        for (QAbstractButton* button : row[i]) {
            const QRect own = designOf(button);
            button->setGeometry(left, button->y(), std::max(width, 0), own.height());
            tellWholeCaption(button, width < button->sizeHint().width());
        }
        if (i + 1 < row.size()) nextLeft = left + width + (designOf(row[i + 1].front()).left() - design.right() - 1);
    }
}

constexpr int kStopGap = 8;

// The stop row stands right of the time and the running picture, which show while it does.
int stopRowLeft(const WindowWidgets& f)
{
    return f.sequencer.PictureRunning->geometry().right() + 1 + kStopGap;
}

// The stop buttons are never cut: in a frame narrower than their design row, the
// row keeps to the frame's right margin and narrows, each button down to what its
// picture needs (the control's minimum size leaves room for that).
void fitStopRow(const WindowWidgets& f)
{
    constexpr int kMargin = 4;
    const QRect stop = designOf(f.sequencer.CbStop);
    const QRect estop = designOf(f.sequencer.cbEstop);
    const int right = f.frames.FrComm->width() - kMargin;
    if (estop.right() < right) {
        f.sequencer.CbStop->setGeometry(stop);
        f.sequencer.cbEstop->setGeometry(estop);
        return;
    }
    const int leftInset = stopRowLeft(f);
    const double share = std::max(0.0, double(right - leftInset)) / double(estop.right() + 1 - leftInset);
    const int estopWidth = std::max(f.sequencer.cbEstop->minimumSizeHint().width(), int(estop.width() * share));
    const int estopLeft = std::max(leftInset, right - estopWidth);
    f.sequencer.cbEstop->setGeometry(estopLeft, estop.top(), estopWidth, estop.height());
    const int stopWidth = std::max(f.sequencer.CbStop->minimumSizeHint().width(), int(stop.width() * share));
    f.sequencer.CbStop->setGeometry(std::max(0, estopLeft - kStopGap - stopWidth), stop.top(), stopWidth,
                                    stop.height());
}

}  // namespace

void fitCaptions(const WindowWidgets& f)
{
    fitRow({{f.sequencer.cbReadData}, {f.sequencer.ckReadData}}, f.frames.FrData->width());
    fitRow({{f.sequencer.cbStartTempo},
            {f.sequencer.cbStartPerm},
            {f.sequencer.OptionPerm[0], f.sequencer.OptionPerm[1], f.sequencer.OptionPerm[2]}},
           f.frames.FrComm->width());
    fitStopRow(f);
}

int stopRowMinimumWidth(const WindowWidgets& f)
{
    constexpr int kMargin = 4;
    return stopRowLeft(f) + f.sequencer.CbStop->minimumSizeHint().width() + kStopGap +
           f.sequencer.cbEstop->minimumSizeHint().width() + kMargin;
}

}  // namespace TavrinIoCtl
