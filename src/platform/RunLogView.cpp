#include "RunLogView.h"

#include "RunLogAccessible.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <cstdlib>

namespace TavrinPlatform {

RunLogView::RunLogView(QWidget* parent) : QAbstractScrollArea(parent)
{
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    batch_.setSingleShot(true);
    batch_.setInterval(kBatchIntervalMs);
    connect(&batch_, &QTimer::timeout, this, &RunLogView::flush);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, &RunLogView::scrollTo);
    RunLogAccessible::install();
}

void RunLogView::append(const QString& line)
{
    model_.append(line);
    if (!batch_.isActive()) batch_.start();
}

void RunLogView::clear()
{
    batch_.stop();
    model_.clear();
    current_ = -1;
    if (QAccessible::isActive()) {
        if (auto* log = dynamic_cast<RunLogAccessible*>(QAccessible::queryAccessibleInterface(this)))
            log->forgetLines();
        QAccessibleEvent reset(this, QAccessible::ObjectReorder);
        QAccessible::updateAccessibility(&reset);
    }
    updateScrollRange();
    shownTop_ = verticalScrollBar()->value();
    viewport()->update();
}

void RunLogView::flush()
{
    batch_.stop();
    if (!model_.hasUnannounced()) return;
    const int previous = current_;
    model_.announce();
    current_ = model_.rowCount() - 1;
    updateScrollRange();
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
    // Only the rows that changed are painted again: the old selection and what scrolled in.
    updateRow(previous);
    for (int row = std::max(previous + 1, verticalScrollBar()->value()); row <= current_; ++row)
        updateRow(row);
    // The newest line is selected: a screen reader reads it out.
    if (QAccessible::isActive()) {
        QAccessibleEvent selected(this, QAccessible::Selection);
        selected.setChild(current_);
        QAccessible::updateAccessibility(&selected);
    }
}

void RunLogView::updateRow(int row)
{
    const int top = (row - shownTop_) * rowHeight();
    if (row >= 0 && top >= 0 && top < viewport()->height())
        viewport()->update(0, top, viewport()->width(), rowHeight());
}

// A scroll of a few rows moves the pixels already painted and paints only the rows that came in.
void RunLogView::scrollTo(int top)
{
    const int delta = top - shownTop_;
    shownTop_ = top;
    if (std::abs(delta) < visibleRows())
        viewport()->scroll(0, -delta * rowHeight());
    else
        viewport()->update();
}

int RunLogView::rowHeight() const
{
    return std::max(1, fontMetrics().height());
}

int RunLogView::visibleRows() const
{
    return std::max(1, viewport()->height() / rowHeight());
}

void RunLogView::updateScrollRange()
{
    QScrollBar* bar = verticalScrollBar();
    bar->setRange(0, std::max(0, model_.rowCount() - visibleRows()));
    bar->setPageStep(visibleRows());
}

void RunLogView::paintEvent(QPaintEvent*)
{
    QPainter painter(viewport());
    const int height = rowHeight();
    const int first = shownTop_;
    const int last = std::min(model_.rowCount(), first + visibleRows() + 1);
    const QPalette& colours = palette();
    for (int row = first; row < last; ++row) {
        const QRect area(0, (row - first) * height, viewport()->width(), height);
        const bool selected = row == current_;
        if (selected) painter.fillRect(area, colours.brush(QPalette::Highlight));
        painter.setPen(colours.color(selected ? QPalette::HighlightedText : QPalette::Text));
        painter.drawText(area.adjusted(2, 0, -2, 0), Qt::AlignLeft | Qt::AlignVCenter, model_.line(row));
    }
}

void RunLogView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollRange();
}

void RunLogView::mousePressEvent(QMouseEvent* event)
{
    const int row = shownTop_ + event->position().toPoint().y() / rowHeight();
    if (row < model_.rowCount()) {
        updateRow(current_);
        current_ = row;
        updateRow(current_);
    }
}

}  // namespace TavrinPlatform
