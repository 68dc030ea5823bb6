#include "RunLogModel.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <new>
#include <stdexcept>

#ifdef __linux__
#include <sys/mman.h>
#endif

namespace TavrinPlatform {

namespace {

// Text memory for a chunk; a chunk of the usual size is aligned to, and
// advised as, one large page where the system offers them.
char* allocateText(size_t bytes)
{
    constexpr size_t page = RunLogModel::kChunkBytes;
    if (bytes != page) {
        if (void* text = std::malloc(bytes)) return static_cast<char*>(text);
        throw std::bad_alloc();
    }
    void* text = std::aligned_alloc(page, page);
    if (!text) throw std::bad_alloc();
#ifdef MADV_HUGEPAGE
    madvise(text, page, MADV_HUGEPAGE);  // only advice: a refusal changes nothing
#endif
    return static_cast<char*>(text);
}

}  // namespace

void RunLogModel::FreeText::operator()(char* text) const
{
    std::free(text);
}

void RunLogModel::append(const QString& line)
{
    // At most three bytes of UTF-8 for each UTF-16 unit.
    Chunk& chunk = chunkWithRoom(static_cast<size_t>(line.size()) * 3);
    char* begin = chunk.text.get() + chunk.size;
    char* end = utf8_.appendToBuffer(begin, line);
    chunk.size += static_cast<uint32_t>(end - begin);
    chunk.ends.push_back(chunk.size);
    ++lines_;
}

RunLogModel::Chunk& RunLogModel::chunkWithRoom(size_t bytes)
{
    if (!chunks_.empty() && chunks_.back().capacity - chunks_.back().size >= bytes) return chunks_.back();
    if (!chunks_.empty()) chunks_.back().ends.shrink_to_fit();
    // A line longer than a chunk gets a chunk of its own size.
    const size_t capacity = std::max(kChunkBytes, bytes);
    if (capacity > std::numeric_limits<uint32_t>::max()) throw std::length_error("run-log line too long");
    Chunk& chunk = chunks_.emplace_back();
    chunk.text.reset(allocateText(capacity));
    chunk.capacity = static_cast<uint32_t>(capacity);
    chunk.firstLine = lines_;
    return chunk;
}

const RunLogModel::Chunk& RunLogModel::chunkOf(size_t line) const
{
    const auto after = std::upper_bound(chunks_.begin(), chunks_.end(), line,
                                        [](size_t wanted, const Chunk& c) { return wanted < c.firstLine; });
    return *(after - 1);
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
    const Chunk& chunk = chunkOf(static_cast<size_t>(index));
    const size_t inChunk = static_cast<size_t>(index) - chunk.firstLine;
    const uint32_t begin = inChunk == 0 ? 0 : chunk.ends[inChunk - 1];
    const uint32_t end = chunk.ends[inChunk];
    return QString::fromUtf8(chunk.text.get() + begin, static_cast<qsizetype>(end - begin));
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
