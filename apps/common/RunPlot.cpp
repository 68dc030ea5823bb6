#include "RunPlot.h"

#include <QChart>
#include <QGraphicsLayout>
#include <QLegendMarker>
#include <QLineSeries>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

NiceScale niceScale(double low, double high, int mostTicks)
{
    if (!std::isfinite(low) || !std::isfinite(high)) return {};
    if (high < low) std::swap(low, high);
    // A constant value gets a readable scale around it.
    if (high - low < 1e-12) {
        const double around = std::max(1.0, std::abs(low) * 0.1);
        low -= around;
        high += around;
    }
    const double rough = (high - low) / std::max(1, mostTicks - 1);
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    double step = 10.0 * power;
    for (const double factor : {1.0, 2.0, 5.0}) {
        if (factor * power >= rough) {
            step = factor * power;
            break;
        }
    }
    NiceScale scale;
    scale.step = step;
    // A bound on a tick stays on it, whatever the rounding of the division.
    scale.low = std::floor(low / step + 1e-9) * step;
    scale.high = std::ceil(high / step - 1e-9) * step;
    scale.decimals = std::max(0, static_cast<int>(-std::floor(std::log10(step) + 1e-9)));
    return scale;
}

namespace {

void showScale(QValueAxis* axis, const NiceScale& scale)
{
    // Labels are short round numbers: never "..." for a width measured on earlier labels.
    axis->setTruncateLabels(false);
    axis->setRange(scale.low, scale.high);
    axis->setTickType(QValueAxis::TicksDynamic);
    axis->setTickAnchor(scale.low);
    axis->setTickInterval(scale.step);
    axis->setLabelFormat(QStringLiteral("%.") + QString::number(scale.decimals) + QStringLiteral("f"));
}

}  // namespace

RunPlot::RunPlot(TavrinIoCtl::ioctl& control, QWidget* parent) : QChartView(parent)
{
    setRenderHint(QPainter::Antialiasing);
    // The plot area gets the room, not the frame around it.
    chart()->setMargins(QMargins(4, 4, 4, 4));
    chart()->layout()->setContentsMargins(0, 0, 0, 0);
    chart()->legend()->setAlignment(Qt::AlignRight);
    batch_.setInterval(kBatchMs);
    connect(&batch_, &QTimer::timeout, this, &RunPlot::flush);
    connect(&control, &TavrinIoCtl::ioctl::dataRead, this, &RunPlot::add);
    connect(&control, &TavrinIoCtl::ioctl::stateChanged, this, [this](TavrinIoCtl::SequenceState state) {
        if (state == TavrinIoCtl::SequenceState::Init) startAfresh();
        if (state == TavrinIoCtl::SequenceState::Idle) {
            // The end of the run stays on screen; whatever is read later is not joined to it.
            for (auto& entry : items_)
                entry.broken = true;
            flush();
        }
    });
    startAfresh();
}

void RunPlot::startAfresh()
{
    batch_.stop();
    chart()->removeAllSeries();
    for (QAbstractAxis* axis : chart()->axes())
        chart()->removeAxis(axis);
    for (auto& entry : items_)
        if (!axes_.values().contains(entry.axis)) delete entry.axis;
    qDeleteAll(axes_);
    axes_.clear();
    items_.clear();
    delete time_;
    time_ = new QValueAxis(this);
    time_->setTitleText(QStringLiteral("s"));
    chart()->addAxis(time_, Qt::AlignBottom);
    maxSeconds_ = 0.0;
    showScale(time_, niceScale(0.0, 1.0, 6));
    chart()->setTitle(emptyText_);
}

void RunPlot::setEmptyText(const QString& text)
{
    emptyText_ = text;
    if (items_.isEmpty()) chart()->setTitle(text);
}

QValueAxis* RunPlot::axisFor(const Item& entry)
{
    if (entry.unit.isEmpty()) {
        // Scaled on its own: a status 0/1 and a count in the thousands both fill the plot's height.
        auto* own = new QValueAxis(this);
        chart()->addAxis(own, Qt::AlignLeft);
        own->setVisible(false);
        return own;
    }
    if (auto* axis = axes_.value(entry.unit)) return axis;
    auto* axis = new QValueAxis(this);
    axis->setTitleText(entry.unit);
    axis->setRange(0, 1);
    chart()->addAxis(axis, axes_.size() % 2 ? Qt::AlignRight : Qt::AlignLeft);
    axes_.insert(entry.unit, axis);
    return axis;
}

RunPlot::Item& RunPlot::item(const QString& name, const QString& unit, bool named)
{
    auto found = items_.find(name);
    if (found != items_.end()) return *found;
    Item created;
    if (items_.isEmpty()) chart()->setTitle(QString());
    created.name = name;
    created.unit = unit;
    created.named = named;
    created.axis = axisFor(created);
    return *items_.insert(name, created);
}

// The segment a point at these seconds belongs to: a new one after a stop of
// the sequence or when samples are missing (far longer than the usual interval).
RunPlot::Segment& RunPlot::segmentFor(Item& entry, double seconds)
{
    const double since = seconds - entry.lastSeconds;
    const bool missing = entry.lastSeconds >= 0 && entry.usualGap > 0 && since > 3.0 * entry.usualGap + 0.05;
    if (entry.lastSeconds >= 0 && !missing && since > 0)
        entry.usualGap = entry.usualGap > 0 ? 0.8 * entry.usualGap + 0.2 * since : since;
    entry.lastSeconds = seconds;
    if (!entry.segments.empty() && !entry.broken && !missing) return entry.segments.back();
    entry.broken = false;
    Segment segment;
    segment.series = new QLineSeries(this);
    chart()->addSeries(segment.series);
    segment.series->attachAxis(time_);
    segment.series->attachAxis(entry.axis);
    if (entry.segments.empty()) {
        segment.series->setName(
            entry.unit.isEmpty() ? entry.name : entry.name + QStringLiteral(" (") + entry.unit + QStringLiteral(")"));
    } else {
        // One line in one colour and one legend entry, whatever its gaps.
        const QLineSeries* first = entry.segments.front().series;
        segment.series->setPen(first->pen());
        for (QLegendMarker* marker : chart()->legend()->markers(segment.series))
            marker->setVisible(false);
    }
    entry.segments.push_back(segment);
    return entry.segments.back();
}

void RunPlot::add(const QString& name, const QString& unit, const QString& text, double value, quint32 ms)
{
    if (std::isnan(value)) return;  // bytes: nothing to plot
    bool numberText = false;
    text.toDouble(&numberText);
    Item& entry = item(name, unit, !numberText && !text.isEmpty());
    const double seconds = ms / 1000.0;
    Segment& segment = segmentFor(entry, seconds);
    // A named value holds until the next one: a step, not a slope.
    if (entry.named && !segment.kept.empty() && segment.kept.back().y() != value)
        segment.kept.emplace_back(seconds, segment.kept.back().y());
    const bool first = entry.segments.size() == 1 && segment.kept.empty();
    segment.kept.emplace_back(seconds, value);
    entry.low = first ? value : std::min(entry.low, value);
    entry.high = first ? value : std::max(entry.high, value);
    if (entry.named && !entry.names.contains(value)) {
        entry.names.insert(value, text);
        QStringList legend;
        for (auto it = entry.names.cbegin(); it != entry.names.cend(); ++it)
            legend << QString::number(it.key()) + QStringLiteral(" ") + it.value();
        entry.segments.front().series->setName(name + QStringLiteral(" [") + legend.join(QStringLiteral(", ")) +
                                               QStringLiteral("]"));
    }
    maxSeconds_ = std::max(maxSeconds_, seconds);
    if (!batch_.isActive()) batch_.start();
}

// Hands the new points to the series; a long segment is drawn thinned, every point kept.
void RunPlot::drawSegment(Segment& segment)
{
    const qsizetype total = static_cast<qsizetype>(segment.kept.size());
    if (total > kMaxDrawnPoints) {
        const qsizetype stride = (total + kMaxDrawnPoints - 1) / kMaxDrawnPoints;
        QList<QPointF> thinned;
        for (qsizetype i = 0; i < total; i += stride)
            thinned.append(segment.kept[static_cast<size_t>(i)]);
        thinned.append(segment.kept.back());
        segment.series->replace(thinned);
    } else if (segment.drawn < total) {
        segment.series->append(QList<QPointF>(segment.kept.begin() + segment.drawn, segment.kept.end()));
    }
    segment.drawn = total;
}

void RunPlot::flush()
{
    batch_.stop();
    QHash<QValueAxis*, std::pair<double, double>> ranges;
    for (auto& entry : items_) {
        bool any = false;
        for (auto& segment : entry.segments) {
            drawSegment(segment);
            any = any || !segment.kept.empty();
        }
        if (!any) continue;
        auto range = ranges.find(entry.axis);
        if (range == ranges.end()) range = ranges.insert(entry.axis, {entry.low, entry.high});
        range->first = std::min(range->first, entry.low);
        range->second = std::max(range->second, entry.high);
    }
    for (auto it = ranges.cbegin(); it != ranges.cend(); ++it)
        showScale(it.key(), niceScale(it->first, it->second));
    showScale(time_, niceScale(0.0, std::max(1.0, maxSeconds_), 6));
}

void RunPlot::resizeEvent(QResizeEvent* event)
{
    chart()->legend()->setAlignment(width() < kWideEnoughForASideLegend ? Qt::AlignBottom : Qt::AlignRight);
    QChartView::resizeEvent(event);
}

QStringList RunPlot::seriesNames() const
{
    return items_.keys();
}

qsizetype RunPlot::pointCount(const QString& item) const
{
    auto found = items_.find(item);
    if (found == items_.end()) return 0;
    qsizetype count = 0;
    for (const auto& segment : found->segments)
        count += static_cast<qsizetype>(segment.kept.size());
    return count;
}

qsizetype RunPlot::segmentCount(const QString& item) const
{
    auto found = items_.find(item);
    return found == items_.end() ? 0 : static_cast<qsizetype>(found->segments.size());
}
