// The run log's lines in UTF-8, stored in chunks of a fixed number of lines with
// 32-bit offsets inside each chunk: a million lines cost a few hundred
// allocations, never a copy of the whole log when it grows. New lines are
// announced to views in batches (announce()).
#pragma once

#include <QAbstractListModel>

#include <cstdint>
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

    qsizetype lineCount() const { return static_cast<qsizetype>(lines_); }
    QString line(qsizetype index) const;
    bool hasUnannounced() const { return announced_ < lines_; }
    // Counts the clears, so a reader that keeps its place can tell the log started anew.
    quint64 clears() const { return clears_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    static constexpr size_t kLinesPerChunk = 4096;

  private:
    struct Chunk {
        std::string text;
        std::vector<uint32_t> ends;  // end of each line in text
    };
    std::vector<Chunk> chunks_;
    size_t lines_ = 0;
    size_t announced_ = 0;
    quint64 clears_ = 0;
};

}  // namespace TavrinPlatform
