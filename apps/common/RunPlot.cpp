#include "RunPlot.h"

#include <QChart>
#include <QLineSeries>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

RunPlot::RunPlot(TavrinIoCtl::ioctl& control, QWidget* parent) : QChartView(parent)
{
    setRenderHint(QPainter::Antialiasing);
    chart()->legend()->setAlignment(Qt::AlignRight);
    batch_.setInterval(kBatchMs);
    connect(&batch_, &QTimer::timeout, this, &RunPlot::flush);
    connect(&control, &TavrinIoCtl::ioctl::dataRead, this, &RunPlot::add);
    connect(&control, &TavrinIoCtl::ioctl::stateChanged, this, [this](TavrinIoCtl::SequenceState state) {
        if (state == TavrinIoCtl::SequenceState::Init) startAfresh();
        if (state == TavrinIoCtl::SequenceState::Idle) flush();  // the end of the run stays on screen
    });
    startAfresh();
}

void RunPlot::startAfresh()
{
    batch_.stop();
    chart()->removeAllSeries();
    for (QAbstractAxis* axis : chart()->axes())
        chart()->removeAxis(axis);
    qDeleteAll(axes_);
    axes_.clear();
    items_.clear();
    delete time_;
    time_ = new QValueAxis(this);
    time_->setTitleText(QStringLiteral("s"));
    time_->setRange(0, 1);
    chart()->addAxis(time_, Qt::AlignBottom);
    maxSeconds_ = 0.0;
}

QValueAxis* RunPlot::axisFor(const QString& unit)
{
    if (auto* axis = axes_.value(unit)) return axis;
    auto* axis = new QValueAxis(this);
    axis->setTitleText(unit.isEmpty() ? QStringLiteral("-") : unit);
    axis->setRange(0, 1);
    chart()->addAxis(axis, axes_.size() % 2 ? Qt::AlignRight : Qt::AlignLeft);
    axes_.insert(unit, axis);
    return axis;
}

RunPlot::Item& RunPlot::item(const QString& name, const QString& unit, bool named)
{
    auto found = items_.find(name);
    if (found != items_.end()) return *found;
    Item created;
    created.series = new QLineSeries(this);
    created.series->setName(unit.isEmpty() ? name : name + QStringLiteral(" (") + unit + QStringLiteral(")"));
    created.unit = unit;
    created.named = named;
    chart()->addSeries(created.series);
    created.series->attachAxis(time_);
    created.series->attachAxis(axisFor(unit));
    if (items_.isEmpty()) emit firstValue();
    return *items_.insert(name, created);
}

void RunPlot::add(const QString& name, const QString& unit, const QString& text, double value, quint32 ms)
{
    if (std::isnan(value)) return;  // bytes: nothing to plot
    bool numberText = false;
    text.toDouble(&numberText);
    Item& entry = item(name, unit, !numberText && !text.isEmpty());
    const double seconds = ms / 1000.0;
    // A named value holds until the next one: a step, not a slope.
    if (entry.named && !entry.kept.empty() && entry.kept.back().y() != value)
        entry.kept.emplace_back(seconds, entry.kept.back().y());
    entry.kept.emplace_back(seconds, value);
    entry.low = entry.kept.size() == 1 ? value : std::min(entry.low, value);
    entry.high = entry.kept.size() == 1 ? value : std::max(entry.high, value);
    if (entry.named && !entry.names.contains(value)) {
        entry.names.insert(value, text);
        QStringList legend;
        for (auto it = entry.names.cbegin(); it != entry.names.cend(); ++it)
            legend << QString::number(it.key()) + QStringLiteral(" ") + it.value();
        entry.series->setName(name + QStringLiteral(" [") + legend.join(QStringLiteral(", ")) + QStringLiteral("]"));
    }
    maxSeconds_ = std::max(maxSeconds_, seconds);
    if (!batch_.isActive()) batch_.start();
}

// Hands the new points to the series; a long series is drawn thinned, every point kept.
void RunPlot::flush()
{
    batch_.stop();
    QHash<QString, std::pair<double, double>> ranges;
    for (auto& entry : items_) {
        const qsizetype total = static_cast<qsizetype>(entry.kept.size());
        if (total > kMaxDrawnPoints) {
            const qsizetype stride = (total + kMaxDrawnPoints - 1) / kMaxDrawnPoints;
            QList<QPointF> thinned;
            for (qsizetype i = 0; i < total; i += stride)
                thinned.append(entry.kept[static_cast<size_t>(i)]);
            thinned.append(entry.kept.back());
            entry.series->replace(thinned);
        } else if (entry.drawn < total) {
            entry.series->append(QList<QPointF>(entry.kept.begin() + entry.drawn, entry.kept.end()));
        }
        entry.drawn = total;
        if (entry.kept.empty()) continue;
        auto range = ranges.find(entry.unit);
        if (range == ranges.end()) range = ranges.insert(entry.unit, {entry.low, entry.high});
        range->first = std::min(range->first, entry.low);
        range->second = std::max(range->second, entry.high);
    }
    for (auto it = ranges.cbegin(); it != ranges.cend(); ++it) {
        const double span = std::max(1.0, it->second - it->first);  // a constant value gets a readable scale
        axes_.value(it.key())->setRange(it->first - span * 0.05, it->second + span * 0.05);
    }
    time_->setRange(0, std::max(1.0, maxSeconds_));
}

QStringList RunPlot::seriesNames() const
{
    return items_.keys();
}

qsizetype RunPlot::pointCount(const QString& item) const
{
    auto found = items_.find(item);
    return found == items_.end() ? 0 : static_cast<qsizetype>(found->kept.size());
}
