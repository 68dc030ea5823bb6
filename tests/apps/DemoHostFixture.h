// The demo host on the demo vehicle with the fuel pump driven permanently.
#pragma once

#include "DemoWindow.h"
#include "SimulatedEcu.h"
#include "SimulatedVehicle.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

inline QTreeWidgetItem* row(QTreeWidget* list, const QString& text)
{
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        if (list->topLevelItem(i)->text(0) == text) return list->topLevelItem(i);
    }
    return nullptr;
}

class DemoHost : public ::testing::Test {
  protected:
    void SetUp() override
    {
        instant.latencyMs = 0;
        instant.byteTimeUs = 0;
        session = openVehicle(QString(), instant);
        window = std::make_unique<DemoWindow>(QStringLiteral(TAVRIN_DATA_DIR), QStringLiteral("en"), instant, true);
        window->show();
        ASSERT_TRUE(window->start(session));
        control = window->control();
        auto* functions = control->findChild<QTreeWidget*>(QStringLiteral("lvFunctions"));
        auto* devices = control->findChild<QTreeWidget*>(QStringLiteral("lvDevices"));
        ASSERT_NE(row(functions, "EngineControl"), nullptr);
        functions->setCurrentItem(row(functions, "EngineControl"));
        QTest::keyClick(functions, Qt::Key_Return);
        devices->setCurrentItem(row(devices, "FuelPump"));
        QTest::keyClick(devices, Qt::Key_Return);
        control->findChild<QCheckBox*>(QStringLiteral("ckReadData"))->setChecked(true);
        control->findChild<QPushButton*>(QStringLiteral("cbStartPerm"))->click();
        limit.start();
        while (!running() && limit.elapsed() < 5000)
            QTest::qWait(10);
        ASSERT_TRUE(running());
    }
    bool running()
    {
        return TavrinKwp::simulatedVehicle(*session)
            .behaviour("EngineControl")
            .deviceRunning("FuelPump", session->clockNow());
    }

    LineTiming instant;
    std::shared_ptr<TavrinKwp::KwpSession> session;
    std::unique_ptr<DemoWindow> window;
    TavrinIoCtl::ioctl* control = nullptr;
    QElapsedTimer limit;
};
