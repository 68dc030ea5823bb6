#include "ListView.h"

#include "NaturalOrder.h"

#include <QHeaderView>
#include <QMouseEvent>

#include <stdexcept>

namespace TavrinPlatform {

ListItem::ListItem(const QString& key, const QString& text) : key_(key)
{
    setText(0, text);
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

QString ListView::columnKey(int column) const
{
    return columnKeys_.value(column);
}

ListItem* ListView::addItem(const QString& key, const QString& text)
{
    if (!key.isEmpty() && byKey_.contains(key)) {
        throw std::invalid_argument("Key is not unique in collection: " + key.toStdString());
    }
    auto* item = new ListItem(key, text);
    for (int column = 1; column < columnCount(); ++column) {
        item->setTextAlignment(column, Qt::Alignment(headerItem()->textAlignment(column)));
    }
    if (sorted_)
        placeSorted(item);
    else
        addTopLevelItem(item);
    if (!key.isEmpty()) byKey_.insert(key, item);
    return item;
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
    item->setText(index, text);
    if (sorted_ && index == sortKey_) {
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

void ListView::clearItems()
{
    byKey_.clear();
    clear();
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
    const int byText = naturalCompare(a.text(sortKey_), b.text(sortKey_));
    if (byText != 0) return byText < 0;
    return a.text(sortKey_) < b.text(sortKey_);  // names differing only in case keep a stable order
}

void ListView::mouseReleaseEvent(QMouseEvent* event)
{
    QTreeWidget::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton) emit listClicked();
}

}  // namespace TavrinPlatform
