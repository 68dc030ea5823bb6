// The demo host by the keyboard: its menus offer the control's drive actions
// with their keys, Esc stops the device from an open menu, and the Tab key
// walks only fields that show their focus, starting on the ECU list.
#include "DemoHostFixture.h"
#include "FaultInjector.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>

namespace {

QMenu* menuTitled(QMainWindow& window, const QString& title)
{
    for (QAction* action : window.menuBar()->actions()) {
        if (action->text() == title) return action->menu();
    }
    return nullptr;
}

}  // namespace

TEST_F(DemoHost, shouldStopFromAnOpenMenuWithEscAndOfferTheDriveKeysInTheTestMenu)
{
    QMenu* test = menuTitled(*window, QStringLiteral("&Test"));
    ASSERT_NE(test, nullptr);
    QStringList entries;
    for (const QAction* action : test->actions())
        entries << (action->isSeparator() ? QStringLiteral("-") : action->text() + " " + action->shortcut().toString());
    EXPECT_EQ(entries,
              QStringList({"Start tempo F5", "Start perm F6", "Stop F7", "Emergency stop Esc", "-", "&Abort "}));
    EXPECT_TRUE(test->actions()[3]->isEnabled());  // a device runs
    EXPECT_FALSE(test->actions()[0]->isEnabled());
    EXPECT_NE(menuTitled(*window, QStringLiteral("&Help")), nullptr);

    QMenu* vehicle = menuTitled(*window, QStringLiteral("&Vehicle"));
    ASSERT_NE(vehicle, nullptr);
    vehicle->popup(window->mapToGlobal(QPoint(10, 10)));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(vehicle));
    QTest::keyClick(vehicle, Qt::Key_Escape);
    while (running() && limit.elapsed() < 8000)
        QTest::qWait(10);
    EXPECT_FALSE(running());
    EXPECT_TRUE(control->DrivenDevices().isEmpty());
}

TEST(DemoKeys, shouldBeginOnTheEcuListAndTabOnlyThroughFieldsThatShowTheirFocus)
{
    LineTiming instant{0, 0};
    DemoWindow window(QStringLiteral(TAVRIN_DATA_DIR), QStringLiteral("en"), instant, true);
    window.resize(1100, 720);
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    ASSERT_TRUE(window.start(openVehicle(QString(), instant)));
    EXPECT_EQ(QApplication::focusWidget(), window.control()->findChild<QWidget*>(QStringLiteral("lvFunctions")));
    // Once round the window: every stop is a field of the control.
    for (int i = 0; i < 20; ++i) {
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        EXPECT_TRUE(window.control()->isAncestorOf(focus)) << focus->objectName().toStdString();
        QTest::keyClick(focus, Qt::Key_Tab);
    }
}

// A stop the ECU refuses leaves the pump driven: a band says so (the device once,
// what failed, what to do) until the stop the user asks again is confirmed.
TEST_F(DemoHost, shouldWarnInABandUntilTheStopAskedAgainIsConfirmed)
{
    QWidget* band = window->drivenBanner();
    EXPECT_FALSE(band->isVisible());
    TavrinKwp::simulatedVehicle(*session).faults().answerNegatively("EngineControl", "OutputControl.Stop.FuelPump",
                                                                    0x22, 3);
    control->findChild<QPushButton*>(QStringLiteral("CbStop"))->click();
    while (control->Busy() && limit.elapsed() < 8000)
        QTest::qWait(10);
    ASSERT_TRUE(running());
    ASSERT_TRUE(band->isVisible());
    const QString text = band->findChild<QLabel*>(QStringLiteral("drivenMessage"))->text();
    EXPECT_TRUE(text.startsWith(QStringLiteral("May still be driven: FuelPump. "))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("0x22"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("ignition"))) << text.toStdString();
    // TAVRIN_PICTURES=DIR: a picture of the window with the band, for looking at.
    if (const QByteArray folder = qgetenv("TAVRIN_PICTURES"); !folder.isEmpty())
        window->grab().save(QString::fromLocal8Bit(folder) + QStringLiteral("/driven-band.png"));
    auto* again = band->findChild<QPushButton*>(QStringLiteral("stopAgain"));
    ASSERT_TRUE(again->isVisible());
    EXPECT_EQ(again->focusPolicy() & Qt::TabFocus, Qt::TabFocus);
    again->click();
    while (!control->DrivenDevices().isEmpty() && limit.elapsed() < 8000)
        QTest::qWait(10);
    EXPECT_FALSE(running());
    EXPECT_FALSE(band->isVisible());
}

// The divider between the control and the plot moves by the keys too.
TEST_F(DemoHost, shouldMoveThePlotDividerWithTheKeys)
{
    window->resize(1400, 1000);
    QApplication::setActiveWindow(window.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QTest::qWait(50);
    const int before = window->plot()->height();
    QTest::keyClick(window.get(), Qt::Key_Up, Qt::ControlModifier | Qt::ShiftModifier);
    const int larger = window->plot()->height();
    EXPECT_GT(larger, before);
    QTest::keyClick(window.get(), Qt::Key_Down, Qt::ControlModifier | Qt::ShiftModifier);
    QTest::keyClick(window.get(), Qt::Key_Down, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_LT(window->plot()->height(), larger);
    EXPECT_GE(window->plot()->height(), window->plot()->minimumHeight());
}
