// The demo window at a small screen's size and at its own: while a test runs with
// its plot shown, Stop and the emergency stop are whole and in view, and the run
// log keeps a few lines, in every language. TAVRIN_PICTURES=DIR also saves a
// picture of each window there, for looking at.
#include "DemoWindow.h"
#include "DiagItemViewWrite.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace {

struct Case {
    const char* language;
    QSize size;
};

void clickRow(TavrinIoCtl::ioctl* control, const char* list, const QString& text)
{
    auto* view = control->findChild<QTreeWidget*>(QLatin1String(list));
    const auto found = view->findItems(text, Qt::MatchExactly, 0);
    ASSERT_FALSE(found.isEmpty()) << list << ": " << text.toStdString();
    view->setCurrentItem(found.front());
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualItemRect(found.front()).center());
}

// Whole: not clipped by any frame around it, nor by the scrolled window.
// The widget's geometry once the window's pending layouts are done: on a loaded
// machine the scroll area may place its scroll bar a while after the window shows.
QRect settledGeometry(QWidget* widget)
{
    QRect last;
    for (int tries = 0; tries < 50; ++tries) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        QTest::qWait(100);
        if (tries > 0 && widget->geometry() == last) break;
        last = widget->geometry();
    }
    return last;
}

bool wholeInView(QWidget* widget)
{
    return widget->isVisible() && widget->visibleRegion() == QRegion(widget->rect());
}

// Each parameter says its unit exactly once: in its whole caption or beside its value.
void expectEachUnitOnce(TavrinIoCtl::ioctl* control, const Case& c)
{
    int checked = 0;
    for (auto* view : control->findChildren<TavrinDiagItem::DiagItemViewWrite*>()) {
        if (!view->isVisible() || view->unitText().isEmpty()) continue;
        const auto* label = view->findChild<QLabel*>(QStringLiteral("label"));
        auto* unit = view->findChild<QLabel*>(QStringLiteral("unit"));
        const QString caption = label->text().trimmed();
        const bool captionWhole = label->fontMetrics().horizontalAdvance(caption) <= label->contentsRect().width() &&
                                  label->visibleRegion() == QRegion(label->rect());
        const bool inCaption = captionWhole && caption.contains("(" + view->unitText() + ")");
        const bool beside = wholeInView(unit);
        EXPECT_EQ(int(inCaption) + int(beside), 1)
            << caption.toStdString() << " at " << c.size.width() << "x" << c.size.height() << " (" << c.language
            << "): in the caption " << inCaption << ", beside the value " << beside;
        ++checked;
    }
    EXPECT_GT(checked, 0) << "no parameter with a unit";
}

void savePicture(QWidget& window, const Case& c, const char* state)
{
    const QByteArray folder = qgetenv("TAVRIN_PICTURES");
    if (folder.isEmpty()) return;
    window.grab().save(QStringLiteral("%1/demo-%2-%3x%4-%5.png")
                           .arg(QString::fromLocal8Bit(folder), QLatin1String(c.language))
                           .arg(c.size.width())
                           .arg(c.size.height())
                           .arg(QLatin1String(state)));
}

class DemoWindowSize : public ::testing::TestWithParam<Case> {};

TEST_P(DemoWindowSize, shouldKeepTheStopButtonsWholeAndTheRunLogReadable)
{
    const Case c = GetParam();
    LineTiming instant;
    instant.latencyMs = 0;
    instant.byteTimeUs = 0;
    auto session = openVehicle(QString(), instant);
    DemoWindow window(QStringLiteral(TAVRIN_DATA_DIR), QLatin1String(c.language), instant, true);
    window.resize(c.size);
    window.show();
    ASSERT_TRUE(window.start(session));
    auto* control = window.control();
    clickRow(control, "lvFunctions", QStringLiteral("EngineControl"));
    clickRow(control, "lvDevices", QStringLiteral("FuelPump"));
    QTest::qWait(50);
    savePicture(window, c, "idle");
    expectEachUnitOnce(control, c);
    // The plot is there before the run, so nothing moves when the first value comes.
    EXPECT_TRUE(window.plot()->isVisible());
    const QRect controlBefore = settledGeometry(control);
    control->findChild<QCheckBox*>(QStringLiteral("ckReadData"))->setChecked(true);
    control->findChild<QPushButton*>(QStringLiteral("cbStartTempo"))->click();
    QElapsedTimer limit;
    limit.start();
    while (window.plot()->pointCount(QStringLiteral("FuelPressure")) == 0 && limit.elapsed() < 10000)
        QTest::qWait(20);
    ASSERT_GT(window.plot()->pointCount(QStringLiteral("FuelPressure")), 0);
    EXPECT_EQ(settledGeometry(control), controlBefore);
    savePicture(window, c, "running");
    for (const char* name : {"CbStop", "cbEstop"}) {
        auto* button = control->findChild<QPushButton*>(QLatin1String(name));
        EXPECT_TRUE(wholeInView(button)) << name << " at " << c.size.width() << "x" << c.size.height() << " ("
                                         << c.language << ") shows " << button->visibleRegion().boundingRect().width()
                                         << " of " << button->width() << " px";
        EXPECT_GE(button->width(), button->minimumSizeHint().width()) << name;
    }
    auto* log = control->findChild<QWidget*>(QStringLiteral("runLog"));
    EXPECT_GE(log->height(), 3 * log->fontMetrics().height()) << "the run log is a strip of " << log->height() << " px";
    EXPECT_GE(control->height(), control->minimumSizeHint().height());
    EXPECT_GE(control->width(), control->minimumSizeHint().width());
    control->findChild<QPushButton*>(QStringLiteral("cbEstop"))->click();
    while (control->Busy() && limit.elapsed() < 20000)
        QTest::qWait(20);
    savePicture(window, c, "stopped");
}

INSTANTIATE_TEST_SUITE_P(Sizes, DemoWindowSize,
                         ::testing::Values(Case{"en", {640, 480}}, Case{"fr", {640, 480}}, Case{"de", {640, 480}},
                                           Case{"en", {1024, 700}}, Case{"fr", {1024, 700}}, Case{"de", {1024, 700}},
                                           Case{"en", {1920, 1080}}, Case{"fr", {1920, 1080}},
                                           Case{"de", {1920, 1080}}),
                         [](const auto& info) {
                             return std::string(info.param.language) + "_" + std::to_string(info.param.size.width()) +
                                    "x" + std::to_string(info.param.size.height());
                         });

}  // namespace
