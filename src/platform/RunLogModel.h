// The run log's lines in one UTF-8 buffer with an offset per line: a million
// lines cost one allocation's growth, not a million objects. New lines are
// announced to views in batches (announce()), since a view relayouts on each.
#pragma once

#include <QAbstractListModel>

#include <string>
#include <vector>

namespace TavrinPlatform {

class RunLogModel : public QAbstractListModel {
    Q_OBJECT
  public:
    using QAbstractListModel::QAbstractListModel;

    void append(const QString& line);
    void clear();
    // Tells the views of the lines appended since the last call.
    void announce();

    qsizetype lineCount() const { return static_cast<qsizetype>(ends_.size()); }
    QString line(qsizetype index) const;
    bool hasUnannounced() const { return announced_ < ends_.size(); }
    // Counts the clears, so a reader that keeps its place can tell the log started anew.
    quint64 clears() const { return clears_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

  private:
    std::string text_;
    std::vector<size_t> ends_;
    size_t announced_ = 0;
    quint64 clears_ = 0;
};

}  // namespace TavrinPlatform
