// The run's plot: round ticks, an axis per unit and none for unitless items,
// and a gap where the sequence stopped or samples are missing.
#include "RunPlot.h"

#include <QLineSeries>
#include <QValueAxis>

#include <gtest/gtest.h>

TEST(RunPlotScale, shouldTickOnRoundNumbersThatCoverTheValues)
{
    const NiceScale wide = niceScale(-0.18, 4.34);
    EXPECT_DOUBLE_EQ(wide.step, 2.0);
    EXPECT_DOUBLE_EQ(wide.low, -2.0);
    EXPECT_DOUBLE_EQ(wide.high, 6.0);
    EXPECT_EQ(wide.decimals, 0);
    const NiceScale narrow = niceScale(0.95, 1.05);
    EXPECT_DOUBLE_EQ(narrow.step, 0.05);
    EXPECT_NEAR(narrow.low, 0.95, 1e-12);
    EXPECT_NEAR(narrow.high, 1.05, 1e-12);
    EXPECT_EQ(narrow.decimals, 2);
    const NiceScale constant = niceScale(3.5, 3.5);  // a flat value still gets a scale around it
    EXPECT_LT(constant.low, 3.5);
    EXPECT_GT(constant.high, 3.5);
    const NiceScale large = niceScale(0, 12345);
    EXPECT_DOUBLE_EQ(large.step, 5000.0);
    EXPECT_EQ(large.decimals, 0);
}

TEST(RunPlotLines, shouldGiveEachUnitAnAxisAndBreakTheLineAtAStopOrMissingSamples)
{
    TavrinIoCtl::ioctl control;
    RunPlot plot(control);
    emit control.stateChanged(TavrinIoCtl::SequenceState::Init);
    for (quint32 ms = 100; ms <= 1000; ms += 100) {
        emit control.dataRead("FuelPressure", "bar", "1.5", 1.5, ms);
        emit control.dataRead("OutputControlStatus", "", "Running", 1.0, ms);
    }
    emit control.dataRead("FuelPressure", "bar", "1.6", 1.6, 4000);  // samples were missing for three seconds
    emit control.stateChanged(TavrinIoCtl::SequenceState::Idle);
    emit control.dataRead("FuelPressure", "bar", "0.2", 0.2, 25000);  // read after the stop
    emit control.dataRead("FuelPressure", "bar", "0.2", 0.2, 25100);
    plot.flush();
    EXPECT_EQ(plot.segmentCount("FuelPressure"), 3);
    EXPECT_EQ(plot.pointCount("FuelPressure"), 13);
    EXPECT_EQ(plot.segmentCount("OutputControlStatus"), 1);
    ASSERT_NE(plot.unitAxis("bar"), nullptr);
    EXPECT_EQ(plot.unitAxis("bar")->titleText(), "bar");
    EXPECT_EQ(plot.unitAxis(""), nullptr);
    // One visible value axis (bar) beside the time axis; the status has its own hidden scale.
    int visible = 0;
    for (QAbstractAxis* axis : plot.chart()->axes(Qt::Vertical))
        visible += axis->isVisible() ? 1 : 0;
    EXPECT_EQ(visible, 1);
    // The three pieces of one line share its colour.
    const auto series = plot.chart()->series();
    QSet<QRgb> colours;
    for (auto* s : series) {
        auto* line = qobject_cast<QLineSeries*>(s);
        if (line && line->attachedAxes().contains(plot.unitAxis("bar"))) colours.insert(line->pen().color().rgb());
    }
    EXPECT_EQ(colours.size(), 1);
}
