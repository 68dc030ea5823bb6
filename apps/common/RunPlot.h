// The live plot of a run: one line per value the control reads (the device's
// data and the status items that carry numbers) against the seconds since the
// run began. Items of one unit share an axis titled with the unit, its ticks on
// round numbers; items without a unit are each scaled on their own, with no
// axis, and named values are drawn as steps with their names in the legend.
// Where the sequence stopped or samples are missing the line has a gap: a new
// segment begins. Points arrive in batches; all are kept, and past a few
// thousand a segment draws a thinned copy.
#pragma once

#include <TavrinIoCtl/ioctl.h>

#include <QChartView>
#include <QHash>
#include <QPointF>
#include <QTimer>

#include <vector>

class QLineSeries;
class QValueAxis;

// An axis on round numbers: from low to high in steps of 1, 2 or 5 times a power of ten.
struct NiceScale {
    double low = 0.0;
    double high = 1.0;
    double step = 0.2;
    int decimals = 1;  // enough to tell the ticks apart
};
NiceScale niceScale(double low, double high, int mostTicks = 5);

class RunPlot : public QChartView {
    Q_OBJECT
  public:
    explicit RunPlot(TavrinIoCtl::ioctl& control, QWidget* parent = nullptr);

    QStringList seriesNames() const;
    // Said in the plot while it has nothing to draw.
    void setEmptyText(const QString& text);
    // Draws the points that wait for the next batch now.
    void flush();
    // Every point kept for the item, drawn or not.
    qsizetype pointCount(const QString& item) const;
    // The pieces the item's line is drawn in: one more after each gap.
    qsizetype segmentCount(const QString& item) const;
    // The axis of a unit, none for items without a unit.
    QValueAxis* unitAxis(const QString& unit) const { return axes_.value(unit); }

    static constexpr int kBatchMs = 200;
    static constexpr qsizetype kMaxDrawnPoints = 3000;
    static constexpr int kWideEnoughForASideLegend = 900;

  protected:
    // A narrow plot keeps its width for the axes: the legend goes below.
    void resizeEvent(QResizeEvent* event) override;

  private:
    struct Segment {
        QLineSeries* series = nullptr;
        std::vector<QPointF> kept;
        qsizetype drawn = 0;  // kept points already handed to the series
    };
    struct Item {
        QString name;
        QString unit;
        bool named = false;
        std::vector<Segment> segments;
        QValueAxis* axis = nullptr;  // its unit's, or its own hidden one
        double low = 0.0, high = 0.0;
        double lastSeconds = -1.0;
        double usualGap = 0.0;  // the usual time between two samples
        bool broken = false;    // the next point begins a new segment
        QMap<double, QString> names;
    };
    void startAfresh();
    void add(const QString& name, const QString& unit, const QString& text, double value, quint32 ms);
    Item& item(const QString& name, const QString& unit, bool named);
    Segment& segmentFor(Item& entry, double seconds);
    QValueAxis* axisFor(const Item& entry);
    void drawSegment(Segment& segment);

    QHash<QString, Item> items_;
    QHash<QString, QValueAxis*> axes_;
    QValueAxis* time_ = nullptr;
    QTimer batch_;
    double maxSeconds_ = 0.0;
    QString emptyText_;
};
