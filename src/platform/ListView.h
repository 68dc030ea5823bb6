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
#include <memory>
#include <vector>

namespace TavrinPlatform {

class ListView;

class ListItem : public QTreeWidgetItem {
  public:
    // Every column's text at once (missing ones empty): a row made whole costs a
    // third of one filled column by column.
    ListItem(const QString& key, const QStringList& texts, int columns);
    const QString& key() const { return key_; }
    // A row taken out of its list made into another: key, texts and tag anew.
    void reuse(const QString& key, const QStringList& texts, int columns);
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
    ~ListView() override;

    void addColumn(const QString& key, const QString& text, int widthPixels, Qt::Alignment alignment = Qt::AlignLeft);
    QString columnKey(int column) const;
    // The column's width, with the view laid out and marked for repaint now: the
    // view's own answer to a header change is a timer that fires after the window
    // has painted and paints it a second time.
    void setColumnWidthNow(int column, int widthPixels);

    // Throws std::invalid_argument when the key is already used (an empty key is none).
    ListItem* addItem(const QString& key, const QString& text);
    // The row with its sub-items' texts.
    ListItem* addItem(const QString& key, const QStringList& texts);
    ListItem* findItem(const QString& key) const;
    // Room for that many keyed rows, so a big list is not rehashed while it fills.
    void reserve(int rows) { byKey_.reserve(rows); }
    // Rows added between these go into the list in one insertion at the end.
    void beginBatch();
    void endBatch();
    ListItem* row(int index) const;
    int rowCount() const { return topLevelItemCount(); }
    void setSubItem(ListItem* item, int index, const QString& text);
    ListItem* selectedRow() const;
    void clearItems();
    // Rows of a cleared list are kept for the next fill instead of deleted, for
    // lists whose rows hold texts and a tag only: a big list refilled on every
    // click then neither frees nor allocates thousands of rows (nor depends on
    // how the heap was left by the last ones).
    void setRecycleRows(bool recycle);

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
    void placeInOrder(QList<QTreeWidgetItem*>& rows) const;
    static bool textLess(const QString& x, const QString& y);

    QStringList columnKeys_;
    QHash<QString, ListItem*> byKey_;
    int sortKey_ = 0;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
    bool sorted_ = false;
    bool batching_ = false;
    bool resortAtEnd_ = false;  // a row's sort text changed during the batch
    QList<QTreeWidgetItem*> pending_;
    bool recycle_ = false;
    std::vector<std::unique_ptr<ListItem>> spare_;
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
