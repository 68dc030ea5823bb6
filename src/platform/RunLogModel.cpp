#include "RunLogModel.h"

#include <limits>

namespace TavrinPlatform {

void RunLogModel::append(const QString& line)
{
    if (chunks_.empty() || chunks_.back().ends.size() == kLinesPerChunk) {
        // A full chunk gives back what its growth reserved beyond its text.
        if (!chunks_.empty()) chunks_.back().text.shrink_to_fit();
        chunks_.emplace_back();
        chunks_.back().ends.reserve(kLinesPerChunk);
    }
    Chunk& chunk = chunks_.back();
    const QByteArray utf8 = line.toUtf8();
    chunk.text.append(utf8.constData(), static_cast<size_t>(utf8.size()));
    chunk.ends.push_back(static_cast<uint32_t>(chunk.text.size()));
    ++lines_;
}

void RunLogModel::clear()
{
    beginResetModel();
    chunks_.clear();
    lines_ = 0;
    announced_ = 0;
    ++clears_;
    endResetModel();
}

void RunLogModel::announce()
{
    // A view counts rows in int; lines beyond that stay in the log but unseen.
    const size_t limit = std::min<size_t>(lines_, std::numeric_limits<int>::max());
    if (announced_ >= limit) return;
    beginInsertRows({}, static_cast<int>(announced_), static_cast<int>(limit - 1));
    announced_ = limit;
    endInsertRows();
}

QString RunLogModel::line(qsizetype index) const
{
    if (index < 0 || static_cast<size_t>(index) >= lines_) return {};
    const Chunk& chunk = chunks_[static_cast<size_t>(index) / kLinesPerChunk];
    const size_t inChunk = static_cast<size_t>(index) % kLinesPerChunk;
    const uint32_t begin = inChunk == 0 ? 0 : chunk.ends[inChunk - 1];
    const uint32_t end = chunk.ends[inChunk];
    return QString::fromUtf8(chunk.text.data() + begin, static_cast<qsizetype>(end - begin));
}

int RunLogModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(announced_);
}

QVariant RunLogModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.column() != 0 || index.row() < 0 || static_cast<size_t>(index.row()) >= announced_) {
        return {};
    }
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole) return line(index.row());
    return {};
}

}  // namespace TavrinPlatform
