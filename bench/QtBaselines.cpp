#include "QtBaselines.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QResizeEvent>
#include <QStringListModel>

#include <algorithm>

namespace Bench {

double percentileOf(std::vector<double> values, double p)
{
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    return values[static_cast<size_t>(p * static_cast<double>(values.size() - 1))];
}

double Samples::median() const
{
    return percentileOf(ms, 0.5);
}

double Samples::spread() const
{
    return percentileOf(ms, 0.9) - percentileOf(ms, 0.1);
}

Samples paintedMs(int runs, const std::function<void(int)>& action)
{
    Samples samples;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer clock;
        clock.start();
        action(i);
        QApplication::processEvents();
        samples.ms.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
    }
    return samples;
}

namespace {

void showOnly(QWidget& shown, QWidget& hidden)
{
    hidden.hide();
    shown.show();
    QApplication::processEvents();
}

}  // namespace

void alternatingMs(int rounds, int runsPerRound, QWidget& ourWindow, const std::function<void(int)>& ours,
                   Samples& ourSamples, QWidget& baselineWindow, const std::function<void(int)>& baseline,
                   Samples& baselineSamples)
{
    for (int round = 0; round < rounds; ++round) {
        const int first = round * runsPerRound;
        showOnly(ourWindow, baselineWindow);
        const auto a = paintedMs(runsPerRound, [&](int i) { ours(first + i); });
        ourSamples.ms.insert(ourSamples.ms.end(), a.ms.begin(), a.ms.end());
        showOnly(baselineWindow, ourWindow);
        const auto b = paintedMs(runsPerRound, [&](int i) { baseline(first + i); });
        baselineSamples.ms.insert(baselineSamples.ms.end(), b.ms.begin(), b.ms.end());
    }
    showOnly(ourWindow, baselineWindow);
}

PlainList::PlainList(const QTreeWidget& like, int sortColumn) : tree_(new QTreeWidget(&window_))
{
    window_.resize(like.window()->size());
    tree_->setGeometry(QRect(like.mapTo(like.window(), QPoint(0, 0)), like.size()));
    tree_->setColumnCount(like.columnCount());
    tree_->setRootIsDecorated(false);
    tree_->setHeaderLabels([&] {
        QStringList labels;
        for (int c = 0; c < like.columnCount(); ++c)
            labels << like.headerItem()->text(c);
        return labels;
    }());
    for (int c = 0; c < like.columnCount(); ++c)
        tree_->setColumnWidth(c, like.columnWidth(c));
    for (int r = 0; r < like.topLevelItemCount(); ++r) {
        QStringList texts;
        for (int c = 0; c < like.columnCount(); ++c)
            texts << like.topLevelItem(r)->text(c);
        rows_.push_back(texts);
    }
    if (sortColumn >= 0) {
        tree_->setSortingEnabled(true);
        tree_->sortByColumn(sortColumn, Qt::AscendingOrder);
    }
    window_.show();
    QApplication::processEvents();
}

void PlainList::refill()
{
    tree_->clear();
    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<qsizetype>(rows_.size()));
    for (const QStringList& texts : rows_)
        items.append(new QTreeWidgetItem(texts));
    tree_->addTopLevelItems(items);
    tree_->setCurrentItem(nullptr);
}

void PlainList::sort(int column)
{
    tree_->sortItems(column, Qt::AscendingOrder);
}

namespace {

// Places its children in proportion to its own size, as they stood in the original.
template <class Base>
class Proportional : public Base {
  public:
    using Base::Base;
    void place(QWidget* child, const QRect& at, const QSize& within)
    {
        placed_.push_back({child, QRectF(at.x() / double(within.width()), at.y() / double(within.height()),
                                         at.width() / double(within.width()), at.height() / double(within.height()))});
    }

  protected:
    void resizeEvent(QResizeEvent* event) override
    {
        Base::resizeEvent(event);
        const QSizeF size = event->size();
        for (const auto& [child, share] : placed_) {
            child->setGeometry(QRectF(share.x() * size.width(), share.y() * size.height(), share.width() * size.width(),
                                      share.height() * size.height())
                                   .toRect());
        }
    }

  private:
    std::vector<std::pair<QWidget*, QRectF>> placed_;
};

using ProportionalBox = Proportional<QWidget>;

QWidget* plainCounterpart(const QWidget& w, QWidget* parent)
{
    if (const auto* tree = qobject_cast<const QTreeWidget*>(&w)) {
        auto* plain = new QTreeWidget(parent);
        plain->setColumnCount(tree->columnCount());
        plain->setRootIsDecorated(false);
        QList<QTreeWidgetItem*> items;
        for (int r = 0; r < tree->topLevelItemCount(); ++r) {
            QStringList texts;
            for (int c = 0; c < tree->columnCount(); ++c)
                texts << tree->topLevelItem(r)->text(c);
            items.append(new QTreeWidgetItem(texts));
        }
        plain->addTopLevelItems(items);
        for (int c = 0; c < tree->columnCount(); ++c)
            plain->setColumnWidth(c, tree->columnWidth(c));
        return plain;
    }
    if (qobject_cast<const QAbstractScrollArea*>(&w)) {
        auto* plain = new QListView(parent);
        plain->setModel(new QStringListModel(QStringList(40, QStringLiteral("  a line of the run log")), plain));
        return plain;
    }
    if (const auto* box = qobject_cast<const QComboBox*>(&w)) {
        auto* plain = new QComboBox(parent);
        for (int i = 0; i < box->count(); ++i)
            plain->addItem(box->itemText(i));
        return plain;
    }
    if (qobject_cast<const QAbstractSpinBox*>(&w)) return new QDoubleSpinBox(parent);
    if (const auto* edit = qobject_cast<const QLineEdit*>(&w)) return new QLineEdit(edit->text(), parent);
    if (const auto* radio = qobject_cast<const QRadioButton*>(&w)) return new QRadioButton(radio->text(), parent);
    if (const auto* check = qobject_cast<const QCheckBox*>(&w)) return new QCheckBox(check->text(), parent);
    if (const auto* button = qobject_cast<const QAbstractButton*>(&w)) return new QPushButton(button->text(), parent);
    if (const auto* label = qobject_cast<const QLabel*>(&w)) return new QLabel(label->text(), parent);
    return nullptr;  // a container: mirrored as a box of its children
}

template <class Box>
void mirrorChildren(const QWidget& from, Box& into);

// A container as a box of its children; a group box keeps its frame and title.
QWidget* plainContainer(const QWidget& w, QWidget* parent)
{
    if (const auto* group = qobject_cast<const QGroupBox*>(&w)) {
        auto* box = new Proportional<QGroupBox>(group->title(), parent);
        box->resize(w.size());
        mirrorChildren(w, *box);
        return box;
    }
    auto* box = new ProportionalBox(parent);
    box->resize(w.size());
    mirrorChildren(w, *box);
    return box;
}

// Mirrors the visible children of `from` into `into`, recursively.
template <class Box>
void mirrorChildren(const QWidget& from, Box& into)
{
    for (QObject* object : from.children()) {
        auto* child = qobject_cast<QWidget*>(object);
        if (child == nullptr || !child->isVisible() || child->isWindow()) continue;
        QWidget* plain = plainCounterpart(*child, &into);
        if (plain == nullptr) plain = plainContainer(*child, &into);
        into.place(plain, child->geometry(), from.size());
    }
}

}  // namespace

PlainWindow::PlainWindow(const QWidget& like)
{
    auto window = std::make_unique<ProportionalBox>();
    mirrorChildren(like, *window);
    window->resize(like.size());
    window->show();
    window_ = std::move(window);
    QApplication::processEvents();
}

PlainWindow::~PlainWindow() = default;

void PlainWindow::resize(QSize size)
{
    window_->resize(size);
}

double plainLogAppendSeconds(const QString& line, int lines, int batch)
{
    QStringListModel model;
    QListView view;
    view.setUniformItemSizes(true);
    view.setModel(&model);
    view.resize(600, 300);
    view.show();
    QApplication::processEvents();
    QElapsedTimer clock;
    clock.start();
    // The model has no append of many rows: the quickest plain way is to hand it
    // the grown list (shared, not copied) once a batch.
    QStringList all;
    for (int done = 0; done < lines; done += batch) {
        const int count = std::min(batch, lines - done);
        for (int i = 0; i < count; ++i)
            all.append(line);
        model.setStringList(all);
        const QModelIndex newest = model.index(model.rowCount() - 1);
        view.setCurrentIndex(newest);
        view.scrollTo(newest);
        QApplication::processEvents();
    }
    return static_cast<double>(clock.nsecsElapsed()) / 1e9;
}

}  // namespace Bench
