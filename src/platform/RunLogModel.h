// The run log's lines in UTF-8, stored in chunks of 2 MiB with 32-bit offsets
// inside each chunk: each chunk is allocated once and lines are encoded straight
// into it, so no text is ever copied again. A chunk is aligned to, and advised
// as, one large page: writing the log then costs the system one page fault every
// 2 MiB rather than every 4 KiB (on a virtual machine a fault can cost a tick's
// time). A log with a line in it takes a chunk, 2 MiB, at least.
#pragma once

#include <QAbstractListModel>
#include <QStringEncoder>

#include <cstdint>
#include <memory>
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

    static constexpr size_t kChunkBytes = 2 * 1024 * 1024;

  private:
    struct FreeText {
        void operator()(char* text) const;
    };
    struct Chunk {
        std::unique_ptr<char[], FreeText> text;
        uint32_t capacity = 0;
        uint32_t size = 0;
        size_t firstLine = 0;
        std::vector<uint32_t> ends;  // end of each line in text
    };
    Chunk& chunkWithRoom(size_t bytes);
    const Chunk& chunkOf(size_t line) const;

    std::vector<Chunk> chunks_;
    QStringEncoder utf8_{QStringEncoder::Utf8, QStringConverter::Flag::Stateless};
    size_t lines_ = 0;
    size_t announced_ = 0;
    quint64 clears_ = 0;
};

}  // namespace TavrinPlatform
