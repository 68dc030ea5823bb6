// The live plot of a run: one series per value the control reads (the device's
// data and the status items that carry numbers) against the seconds since the
// run began. Items of one unit share an axis; named values are drawn as steps
// and their names given in the legend. Points arrive in batches; all are kept,
// and past a few thousand a series draws a thinned copy.
#pragma once

#include "ioctl.h"

#include <QChartView>
#include <QHash>
#include <QPointF>
#include <QTimer>

#include <vector>

class QLineSeries;
class QValueAxis;

class RunPlot : public QChartView {
    Q_OBJECT
  public:
    explicit RunPlot(TavrinIoCtl::ioctl& control, QWidget* parent = nullptr);

    QStringList seriesNames() const;
    // Draws the points that wait for the next batch now.
    void flush();
    // Every point kept for the item, drawn or not.
    qsizetype pointCount(const QString& item) const;

    static constexpr int kBatchMs = 200;
    static constexpr qsizetype kMaxDrawnPoints = 3000;

  signals:
    void firstValue();

  private:
    struct Item {
        QLineSeries* series = nullptr;
        QString unit;
        bool named = false;
        std::vector<QPointF> kept;
        qsizetype drawn = 0;  // kept points already handed to the series
        double low = 0.0, high = 0.0;
        QMap<double, QString> names;
    };
    void startAfresh();
    void add(const QString& name, const QString& unit, const QString& text, double value, quint32 ms);
    Item& item(const QString& name, const QString& unit, bool named);
    QValueAxis* axisFor(const QString& unit);

    QHash<QString, Item> items_;
    QHash<QString, QValueAxis*> axes_;
    QValueAxis* time_ = nullptr;
    QTimer batch_;
    double maxSeconds_ = 0.0;
};
