#include "ListView.h"

#include "NaturalOrder.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QSignalBlocker>

#include <algorithm>
#include <stdexcept>
#include <utility>
#include <vector>

namespace TavrinPlatform {

namespace {

QStringList padded(const QStringList& texts, int columns)
{
    if (texts.size() >= columns) return texts;
    QStringList all = texts;
    all.resize(columns);
    return all;
}

}  // namespace

ListItem::ListItem(const QString& key, const QStringList& texts, int columns)
    : QTreeWidgetItem(padded(texts, columns)), key_(key)
{}

void ListItem::reuse(const QString& key, const QStringList& texts, int columns)
{
    key_ = key;
    tag.reset();
    for (int column = 0; column < columns; ++column)
        setText(column, texts.value(column));
}

bool ListItem::operator<(const QTreeWidgetItem& other) const
{
    auto* view = qobject_cast<ListView*>(treeWidget());
    const auto* peer = dynamic_cast<const ListItem*>(&other);
    if (view == nullptr || peer == nullptr) return QTreeWidgetItem::operator<(other);
    return view->lessThan(*this, *peer);
}

ListView::ListView(QWidget* parent) : QTreeWidget(parent)
{
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setColumnCount(0);
    header()->setSectionsClickable(true);
    header()->setStretchLastSection(false);
    connect(header(), &QHeaderView::sectionClicked, this, &ListView::columnClicked);
    setItemDelegate(new ColumnAlignment(this));
    repaint_.setSingleShot(true);
    repaint_.setInterval(kRepaintIntervalMs);
    connect(&repaint_, &QTimer::timeout, viewport(), qOverload<>(&QWidget::update));
}

void ListView::dataChanged(const QModelIndex&, const QModelIndex&, const QList<int>&)
{
    if (!repaint_.isActive()) repaint_.start();
}

void ListView::addColumn(const QString& key, const QString& text, int widthPixels, Qt::Alignment alignment)
{
    const int column = columnCount();
    setColumnCount(column + 1);
    columnKeys_.append(key);
    headerItem()->setText(column, text);
    headerItem()->setTextAlignment(column, alignment | Qt::AlignVCenter);
    setColumnWidth(column, widthPixels);
}

void ListView::setColumnWidthNow(int column, int widthPixels)
{
    if (columnWidth(column) == widthPixels) return;
    {
        const QSignalBlocker quiet(header());
        header()->resizeSection(column, widthPixels);
    }
    updateGeometries();
    viewport()->update();
}

QString ListView::columnKey(int column) const
{
    return columnKeys_.value(column);
}

ListItem* ListView::addItem(const QString& key, const QString& text)
{
    return addItem(key, QStringList{text});
}

ListItem* ListView::addItem(const QString& key, const QStringList& texts)
{
    if (texts.size() > columnCount()) throw std::out_of_range("More texts than columns for row " + key.toStdString());
    // One look-up: the slot a new key takes, or the proof that it is taken.
    ListItem** slot = nullptr;
    if (!key.isEmpty()) {
        const auto before = byKey_.size();
        slot = &byKey_[key];
        if (byKey_.size() == before)
            throw std::invalid_argument("Key is not unique in collection: " + key.toStdString());
    }
    ListItem* item = nullptr;
    if (spare_.empty()) {
        try {
            item = new ListItem(key, texts, columnCount());
        } catch (...) {
            if (slot) byKey_.remove(key);  // the key stays free for a later try
            throw;
        }
    } else {
        item = spare_.back().release();
        spare_.pop_back();
        item->reuse(key, texts, columnCount());
    }
    if (slot) *slot = item;
    if (batching_)
        pending_.append(item);
    else if (sorted_)
        placeSorted(item);
    else
        addTopLevelItem(item);
    return item;
}

void ListView::beginBatch()
{
    batching_ = true;
}

void ListView::endBatch()
{
    batching_ = false;
    const bool resort = std::exchange(resortAtEnd_, false);
    if (pending_.isEmpty() && !resort) return;
    // One insertion for the whole batch: a shown model told of rows one at a time pays for each.
    QList<QTreeWidgetItem*> rows = std::exchange(pending_, {});
    // Into an empty sorted list the rows go in their order at once: sorted as a
    // model sorts, each comparison would read both rows' data anew, and the
    // whole list would be laid out twice.
    if (sorted_ && topLevelItemCount() == 0) {
        placeInOrder(rows);
        addTopLevelItems(rows);
        return;
    }
    if (!rows.isEmpty()) addTopLevelItems(rows);
    if (sorted_) sortItems(sortKey_, sortOrder_);
}

// The order sortItems would give (a stable sort by lessThan, reversed for a
// descending list), each row's text read once.
void ListView::placeInOrder(QList<QTreeWidgetItem*>& rows) const
{
    std::vector<std::pair<QString, QTreeWidgetItem*>> keyed;
    keyed.reserve(static_cast<size_t>(rows.size()));
    for (QTreeWidgetItem* row : rows)
        keyed.emplace_back(row->text(sortKey_), row);
    if (sortOrder_ == Qt::AscendingOrder)
        std::stable_sort(keyed.begin(), keyed.end(),
                         [](const auto& a, const auto& b) { return textLess(a.first, b.first); });
    else
        std::stable_sort(keyed.begin(), keyed.end(),
                         [](const auto& a, const auto& b) { return textLess(b.first, a.first); });
    for (qsizetype i = 0; i < rows.size(); ++i)
        rows[i] = keyed[static_cast<size_t>(i)].second;
}

ListBatch::ListBatch(ListView* list) : list_(list)
{
    list_->beginBatch();
}

ListBatch::~ListBatch()
{
    list_->endBatch();
}

void ColumnAlignment::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyleOptionViewItem cell = option;
    initStyleOption(&cell, index);
    const QPalette::ColorGroup group = cell.state & QStyle::State_Enabled ? QPalette::Normal : QPalette::Disabled;
    const bool selected = cell.state & QStyle::State_Selected;
    if (selected) painter->fillRect(cell.rect, cell.palette.brush(group, QPalette::Highlight));
    const QRect area = cell.rect.adjusted(3, 0, -3, 0);
    const QStaticText& text = laidOut(cell.text, cell.font);
    const QSizeF size = text.size();
    if (size.width() > area.width()) {
        // Too wide: elided, laid out for this paint only.
        painter->setFont(cell.font);
        painter->setPen(cell.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
        painter->drawText(area, static_cast<int>(cell.displayAlignment),
                          cell.fontMetrics.elidedText(cell.text, Qt::ElideRight, area.width()));
        return;
    }
    const qreal x = cell.displayAlignment & Qt::AlignRight ? area.right() + 1 - size.width() : area.left();
    const qreal y = area.top() + (area.height() - size.height()) / 2;
    painter->setFont(cell.font);
    painter->setPen(cell.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
    painter->drawStaticText(QPointF(x, y), text);
}

// A cell's text laid out once and kept: painting a list is then drawing glyphs,
// not shaping every text again. The cache is dropped whole when it grows large.
const QStaticText& ColumnAlignment::laidOut(const QString& text, const QFont& font) const
{
    if (font != cachedFont_ || cache_.size() > 8192) {
        cache_.clear();
        cachedFont_ = font;
    }
    auto found = cache_.find(text);
    if (found == cache_.end()) {
        QStaticText staticText(text);
        staticText.setTextFormat(Qt::PlainText);
        staticText.prepare(QTransform(), font);
        found = cache_.insert(text, staticText);
    }
    return *found;
}

// Each column's alignment, given to every cell of it when painted.
void ColumnAlignment::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    if (const auto* list = qobject_cast<const ListView*>(parent()); list && index.column() > 0) {
        option->displayAlignment = Qt::Alignment(list->headerItem()->textAlignment(index.column())) | Qt::AlignVCenter;
    }
}

void ListView::placeSorted(ListItem* item)
{
    // By binary search: filling a sorted list stays cheap. The new row goes after
    // its equals. (Clang 14 cannot build std::ranges over iota with GCC 12's library.)
    const auto before = [this, item](int index) {
        return sortOrder_ == Qt::AscendingOrder ? lessThan(*item, *row(index)) : lessThan(*row(index), *item);
    };
    int low = 0;
    int high = rowCount();
    while (low < high) {
        const int middle = low + (high - low) / 2;
        if (before(middle))
            high = middle;
        else
            low = middle + 1;
    }
    insertTopLevelItem(low, item);
}

ListItem* ListView::findItem(const QString& key) const
{
    return byKey_.value(key, nullptr);
}

ListItem* ListView::row(int index) const
{
    return static_cast<ListItem*>(topLevelItem(index));
}

void ListView::setSubItem(ListItem* item, int index, const QString& text)
{
    if (item == nullptr || index < 1 || index >= columnCount()) {
        throw std::out_of_range("Invalid sub-item index " + std::to_string(index));
    }
    // An unchanged text is neither announced nor painted again (a running test writes every value on every tick).
    if (item->text(index) == text) return;
    item->setText(index, text);
    if (sorted_ && index == sortKey_) {
        // In a batch the whole list is sorted once at its end: rows are not placed one by one.
        if (batching_) {
            resortAtEnd_ = true;
            return;
        }
        const bool selected = item->isSelected();
        takeTopLevelItem(indexOfTopLevelItem(item));
        placeSorted(item);
        item->setSelected(selected);
    }
}

ListItem* ListView::selectedRow() const
{
    const auto selected = selectedItems();
    return selected.isEmpty() ? nullptr : static_cast<ListItem*>(selected.front());
}

ListView::~ListView() = default;

void ListView::setRecycleRows(bool recycle)
{
    recycle_ = recycle;
    if (!recycle_) spare_.clear();
}

void ListView::clearItems()
{
    byKey_.clear();
    if (!recycle_) {
        qDeleteAll(std::exchange(pending_, {}));
        clear();
        return;
    }
    QList<QTreeWidgetItem*> rows = invisibleRootItem()->takeChildren();
    rows += std::exchange(pending_, {});
    spare_.reserve(spare_.size() + static_cast<size_t>(rows.size()));
    for (QTreeWidgetItem* row : rows) {
        if (auto* mine = dynamic_cast<ListItem*>(row))
            spare_.emplace_back(mine);
        else
            delete row;  // a row some caller added through QTreeWidget itself
    }
}

void ListView::sortBy(int column, Qt::SortOrder order)
{
    sortKey_ = column;
    sortOrder_ = order;
    sorted_ = true;
    sortItems(column, order);
}

bool ListView::lessThan(const ListItem& a, const ListItem& b) const
{
    // People expect "Injector 2" before "Injector 10".
    return textLess(a.text(sortKey_), b.text(sortKey_));
}

bool ListView::textLess(const QString& x, const QString& y)
{
    const int byText = naturalCompare(x, y);
    if (byText != 0) return byText < 0;
    return x < y;  // names differing only in case keep a stable order
}

void ListView::mouseReleaseEvent(QMouseEvent* event)
{
    QTreeWidget::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton) emit listClicked();
}

void ListView::keyPressEvent(QKeyEvent* event)
{
    static const QHash<int, CursorAction> moves = {{Qt::Key_Up, MoveUp},         {Qt::Key_Down, MoveDown},
                                                   {Qt::Key_PageUp, MovePageUp}, {Qt::Key_PageDown, MovePageDown},
                                                   {Qt::Key_Home, MoveHome},     {Qt::Key_End, MoveEnd}};
    const auto move = moves.find(event->key());
    if (move != moves.end() && event->modifiers() == Qt::NoModifier) {
        const QModelIndex next = moveCursor(*move, event->modifiers());
        if (next.isValid()) {
            selectionModel()->setCurrentIndex(next, QItemSelectionModel::NoUpdate);
            scrollTo(next);
            viewport()->update();
        }
        event->accept();
        return;
    }
    // Ctrl+1, Ctrl+2...: a click on that column's header, for a sort without the mouse.
    const int column = event->key() - Qt::Key_1;
    if (event->modifiers() == Qt::ControlModifier && column >= 0 && column < std::min(9, columnCount())) {
        emit columnClicked(column);
        event->accept();
        return;
    }
    const bool choose =
        event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter || event->key() == Qt::Key_Space;
    if (choose && currentItem() != nullptr) {
        QTreeWidgetItem* row = currentItem();
        setCurrentItem(row);
        emit rowChosen(row);
        event->accept();
        return;
    }
    QTreeWidget::keyPressEvent(event);
}

void ListView::drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QTreeWidget::drawRow(painter, option, index);
    // A visible focus: the framed row is where Return or Space acts.
    if (!hasFocus() || index != currentIndex()) return;
    painter->save();
    painter->setPen(QPen(option.palette.color(QPalette::Highlight).darker(130), 1, Qt::DotLine));
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(option.rect.adjusted(0, 0, -1, -1));
    painter->restore();
}

}  // namespace TavrinPlatform
