#include "RunLogAccessible.h"

#include "RunLogView.h"

#include <QScrollBar>

namespace TavrinPlatform {
namespace {

class LineAccessible : public QAccessibleInterface {
  public:
    LineAccessible(RunLogView* view, int row) : view_(view), row_(row) {}

    bool isValid() const override { return view_ && row_ < view_->lines().rowCount(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return view_ ? view_->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(view_.data()); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name && isValid() ? view_->lines().line(row_) : QString();
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override
    {
        if (!isValid() || !shown()) return {};
        const int top = (row_ - view_->verticalScrollBar()->value()) * view_->rowHeight();
        const QRect inViewport(0, top, view_->viewport()->width(), view_->rowHeight());
        return QRect(view_->viewport()->mapToGlobal(inViewport.topLeft()), inViewport.size());
    }
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QAccessible::State state() const override
    {
        QAccessible::State s;
        s.readOnly = true;
        s.selectable = true;
        s.selected = isValid() && view_->currentRow() == row_;
        s.invisible = !isValid() || !shown();
        return s;
    }
    int row() const { return row_; }

  private:
    bool shown() const
    {
        const int top = view_->verticalScrollBar()->value();
        return row_ >= top && (row_ - top) * view_->rowHeight() < view_->viewport()->height();
    }
    QPointer<RunLogView> view_;
    int row_;
};

QAccessibleInterface* runLogFactory(const QString& className, QObject* object)
{
    if (className != QLatin1String("TavrinPlatform::RunLogView") || !object || !object->isWidgetType()) return nullptr;
    return new RunLogAccessible(static_cast<RunLogView*>(object));
}

}  // namespace

RunLogAccessible::RunLogAccessible(RunLogView* view) : QAccessibleWidget(view, QAccessible::List)
{}

RunLogAccessible::~RunLogAccessible()
{
    forgetLines();
}

RunLogView* RunLogAccessible::view() const
{
    return static_cast<RunLogView*>(widget());
}

int RunLogAccessible::childCount() const
{
    return view()->lines().rowCount();
}

QAccessibleInterface* RunLogAccessible::child(int index) const
{
    if (index < 0 || index >= childCount()) return nullptr;
    if (const auto found = lines_.constFind(index); found != lines_.cend())
        return QAccessible::accessibleInterface(*found);
    auto* line = new LineAccessible(view(), index);
    lines_.insert(index, QAccessible::registerAccessibleInterface(line));
    return line;
}

int RunLogAccessible::indexOfChild(const QAccessibleInterface* child) const
{
    const auto* line = dynamic_cast<const LineAccessible*>(child);
    return line && lines_.contains(line->row()) ? line->row() : -1;
}

void RunLogAccessible::forgetLines()
{
    for (const QAccessible::Id id : std::as_const(lines_))
        QAccessible::deleteAccessibleInterface(id);
    lines_.clear();
}

void RunLogAccessible::install()
{
    static const bool installed = [] {
        QAccessible::installFactory(runLogFactory);
        return true;
    }();
    (void)installed;
}

}  // namespace TavrinPlatform
