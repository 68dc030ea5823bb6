#include "RunLogModel.h"

#include <limits>

namespace TavrinPlatform {

void RunLogModel::append(const QString& line)
{
    const QByteArray utf8 = line.toUtf8();
    text_.append(utf8.constData(), static_cast<size_t>(utf8.size()));
    ends_.push_back(text_.size());
}

void RunLogModel::clear()
{
    beginResetModel();
    text_.clear();
    ends_.clear();
    announced_ = 0;
    ++clears_;
    endResetModel();
}

void RunLogModel::announce()
{
    // A view counts rows in int; lines beyond that stay in the log but unseen.
    const size_t limit = std::min<size_t>(ends_.size(), std::numeric_limits<int>::max());
    if (announced_ >= limit) return;
    beginInsertRows({}, static_cast<int>(announced_), static_cast<int>(limit - 1));
    announced_ = limit;
    endInsertRows();
}

QString RunLogModel::line(qsizetype index) const
{
    if (index < 0 || static_cast<size_t>(index) >= ends_.size()) return {};
    const size_t begin = index == 0 ? 0 : ends_[static_cast<size_t>(index) - 1];
    const size_t end = ends_[static_cast<size_t>(index)];
    return QString::fromUtf8(text_.data() + begin, static_cast<qsizetype>(end - begin));
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
