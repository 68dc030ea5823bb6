// A report-style list view with what the control relies on: columns with keys,
// rows with a unique key, a tag and sub-items, a sort column and order, and a
// click that also reaches the control when it lands on the empty area.
#pragma once

#include <QHash>
#include <QStaticText>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QTreeWidget>

#include <any>

namespace TavrinPlatform {

class ListView;

class ListItem : public QTreeWidgetItem {
  public:
    // Room for every column at once: filling the sub-items then moves nothing.
    ListItem(const QString& key, const QString& text, int columns = 1);
    const QString& key() const { return key_; }
    std::any tag;

    bool operator<(const QTreeWidgetItem& other) const override;

  private:
    QString key_;
};

// Paints each cell with its column's alignment: plain text on the selection or
// the base colour. A styled cell lays its text out anew on every paint, which
// made a list of a few thousand rows slow to redraw.
class ColumnAlignment : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

  protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;

  private:
    const QStaticText& laidOut(const QString& text, const QFont& font) const;
    mutable QHash<QString, QStaticText> cache_;
    mutable QFont cachedFont_;
};

class ListView : public QTreeWidget {
    Q_OBJECT
  public:
    explicit ListView(QWidget* parent = nullptr);

    void addColumn(const QString& key, const QString& text, int widthPixels, Qt::Alignment alignment = Qt::AlignLeft);
    QString columnKey(int column) const;

    // Throws std::invalid_argument when the key is already used (an empty key is none).
    ListItem* addItem(const QString& key, const QString& text);
    ListItem* findItem(const QString& key) const;
    // Rows added between these go into the list in one insertion at the end.
    void beginBatch();
    void endBatch();
    ListItem* row(int index) const;
    int rowCount() const { return topLevelItemCount(); }
    void setSubItem(ListItem* item, int index, const QString& text);
    ListItem* selectedRow() const;
    void clearItems();

    int sortKey() const { return sortKey_; }
    Qt::SortOrder sortOrder() const { return sortOrder_; }
    bool sorted() const { return sorted_; }
    void sortBy(int column, Qt::SortOrder order);
    bool lessThan(const ListItem& a, const ListItem& b) const;

    // Changed values are painted at most this often: a running test changes them
    // every millisecond, and painting each change would slow the sequence down.
    static constexpr int kRepaintIntervalMs = 200;

  signals:
    void listClicked();
    void columnClicked(int column);
    // Return, Enter or Space on a row: what a click on it does.
    void rowChosen(QTreeWidgetItem* row);

  protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    // The arrow keys move the focus frame only: the highlighted row stays the one
    // chosen (and loaded) until Return, Enter or Space chooses the framed one.
    void keyPressEvent(QKeyEvent* event) override;
    void drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight, const QList<int>& roles = {}) override;

  private:
    void placeSorted(ListItem* item);

    QStringList columnKeys_;
    QHash<QString, ListItem*> byKey_;
    int sortKey_ = 0;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
    bool sorted_ = false;
    bool batching_ = false;
    bool resortAtEnd_ = false;  // a row's sort text changed during the batch
    QList<QTreeWidgetItem*> pending_;
    QTimer repaint_;
};

// Holds a list's batch open while it lives.
class ListBatch {
  public:
    explicit ListBatch(ListView* list);
    ~ListBatch();
    ListBatch(const ListBatch&) = delete;
    ListBatch& operator=(const ListBatch&) = delete;

  private:
    ListView* list_;
};

}  // namespace TavrinPlatform
