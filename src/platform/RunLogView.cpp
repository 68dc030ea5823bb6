#include "RunLogView.h"

namespace TavrinPlatform {

RunLogView::RunLogView(QWidget* parent) : QListView(parent)
{
    setModel(&model_);
    setUniformItemSizes(true);
    setLayoutMode(QListView::SinglePass);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    batch_.setSingleShot(true);
    batch_.setInterval(kBatchIntervalMs);
    connect(&batch_, &QTimer::timeout, this, &RunLogView::flush);
}

void RunLogView::append(const QString& line)
{
    model_.append(line);
    if (!batch_.isActive()) batch_.start();
}

void RunLogView::clear()
{
    batch_.stop();
    model_.clear();
}

void RunLogView::flush()
{
    batch_.stop();
    if (!model_.hasUnannounced()) return;
    model_.announce();
    const QModelIndex newest = model_.index(model_.rowCount() - 1);
    setCurrentIndex(newest);
    scrollTo(newest);
}

}  // namespace TavrinPlatform
