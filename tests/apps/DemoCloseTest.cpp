// Closing the demo host while a device is driven stops the device first, as the
// simulated ECU itself shows; the window closes once the sequence is idle.
#include "DemoWindow.h"

#include <QElapsedTimer>
#include <QRadioButton>
#include <QTreeWidget>
#include <QTest>

#include <gtest/gtest.h>

namespace {

QTreeWidgetItem* row(QTreeWidget* list, const QString& text)
{
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        if (list->topLevelItem(i)->text(0) == text) return list->topLevelItem(i);
    }
    return nullptr;
}

}  // namespace

TEST(DemoHost, shouldStopADrivenDeviceBeforeItCloses)
{
    LineTiming instant;
    instant.latencyMs = 0;
    instant.byteTimeUs = 0;
    auto session = openVehicle(QString(), instant);
    DemoWindow window(QStringLiteral(TAVRIN_DATA_DIR), QStringLiteral("en"), instant, true);
    window.show();
    ASSERT_TRUE(window.start(session));
    auto* control = window.control();
    auto* functions = control->findChild<QTreeWidget*>(QStringLiteral("lvFunctions"));
    auto* devices = control->findChild<QTreeWidget*>(QStringLiteral("lvDevices"));
    ASSERT_NE(row(functions, "EngineControl"), nullptr);
    control->lvFunctions_ItemClick(row(functions, "EngineControl"));
    devices->setCurrentItem(row(devices, "FuelPump"));
    control->lvDevices_Click();
    control->cbStartPerm_Click();
    auto running = [&] { return session->behaviour("EngineControl").deviceRunning("FuelPump", session->clockNow()); };
    QElapsedTimer limit;
    limit.start();
    while (!running() && limit.elapsed() < 5000)
        QTest::qWait(10);
    ASSERT_TRUE(running());

    EXPECT_FALSE(window.close());  // refused for now: the stop comes first
    while (window.isVisible() && limit.elapsed() < 10000)
        QTest::qWait(10);
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(running());
    EXPECT_FALSE(control->Busy());
}
