// The control driven by the keyboard alone: the lists choose with Return and
// Space, the highlighted row is always the loaded one, and the drive keys (F5,
// F6, F7, Esc) act from any widget of the control, only while their button shows.
#include "SequenceFixture.h"
#include "SimulatedEcu.h"
#include "SimulatedVehicle.h"

#include <QApplication>
#include <QShortcut>
#include <QTest>

namespace {

class Keyboard : public SequenceFixture {
  protected:
    void SetUp() override
    {
        SequenceFixture::SetUp();
        initialise();
        QApplication::setActiveWindow(control.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(control.get()));
    }
    void press(QWidget* target, Qt::Key key)
    {
        target->setFocus();
        QTest::keyClick(target, key);
    }
    bool pumpRunning() const
    {
        return TavrinKwp::simulatedVehicle(*session).behaviour("EngineControl").deviceRunning("FuelPump", clock.now());
    }
};

TEST_F(Keyboard, shouldChooseRowsWithReturnAndSpaceAndKeepTheHighlightOnTheLoadedOne)
{
    auto* functions = catalogueWidgets().lvFunctions;
    press(functions, Qt::Key_Down);  // the frame moves to the first row, nothing is loaded
    EXPECT_EQ(catalogueWidgets().lvDevices->rowCount(), 0);
    EXPECT_EQ(functions->selectedRow(), nullptr);
    press(functions, Qt::Key_Return);
    ASSERT_NE(functions->selectedRow(), nullptr);
    EXPECT_EQ(selection().SelectedEcu->Name(), functions->selectedRow()->text(0).toStdString());
    const QString loaded = functions->selectedRow()->text(0);
    press(functions, Qt::Key_Down);  // the next ECU is framed, the first stays highlighted and loaded
    EXPECT_EQ(functions->selectedRow()->text(0), loaded);
    EXPECT_EQ(QString::fromStdString(selection().SelectedEcu->Name()), loaded);
    EXPECT_NE(functions->currentItem()->text(0), loaded);

    auto* devices = catalogueWidgets().lvDevices;
    press(devices, Qt::Key_Down);
    press(devices, Qt::Key_Space);
    ASSERT_NE(devices->selectedRow(), nullptr);
    EXPECT_EQ(selection().SelectedDeviceName, devices->selectedRow()->text(0));
    EXPECT_GT(catalogueWidgets().lvStatus->rowCount(), 0);
}

TEST_F(Keyboard, shouldTabFromTheEcuToTheDeviceToItsParametersAndOnToTheDriveButtons)
{
    chooseEcu("EngineControl");
    chooseDevice("FuelPump");
    catalogueWidgets().lvFunctions->setFocus();
    QStringList order;
    for (int i = 0; i < 6; ++i) {
        QWidget* focus = QApplication::focusWidget();
        order << (focus->objectName().isEmpty() ? focus->parentWidget()->objectName() : focus->objectName());
        QTest::keyClick(focus, Qt::Key_Tab);
    }
    // The device's two parameters, then the session, then the start buttons.
    EXPECT_EQ(order, (QStringList{"lvFunctions", "lvDevices", "number", "names", "names", "cbStartTempo"}));
}

TEST_F(Keyboard, shouldDriveWithTheKeysFromAnyWidgetOfTheControl)
{
    chooseEcu("EngineControl");
    chooseDevice("FuelPump");
    // Idle: Esc and F7 are no shortcut (a host dialog still closes on Esc).
    EXPECT_FALSE(control->findChild<QShortcut*>("cbEstopKey")->isEnabled());
    EXPECT_FALSE(control->findChild<QShortcut*>("CbStopKey")->isEnabled());
    press(catalogueWidgets().lvDevices, Qt::Key_F5);
    ASSERT_TRUE(sequencerWidgets().ioCtlTimer->isActive()) << "F5 started nothing";
    runFor(500);
    ASSERT_TRUE(pumpRunning());
    // While it runs, Esc from the status list, the run log or the parameter editor stops it.
    press(catalogueWidgets().lvStatus, Qt::Key_Escape);
    runUntilIdle();
    EXPECT_FALSE(pumpRunning());
    EXPECT_TRUE(control->DrivenDevices().isEmpty());

    for (const bool fromEditor : {false, true}) {
        chooseDevice("FuelPump");  // builds the parameter editors anew
        QWidget* from = fromEditor ? catalogueWidgets().DeviceParam.back()->editor() : reportingWidgets().runLog;
        press(catalogueWidgets().lvDevices, Qt::Key_F6);
        ASSERT_TRUE(sequencerWidgets().ioCtlTimer->isActive()) << "F6 started nothing";
        runFor(500);
        ASSERT_TRUE(pumpRunning());
        press(from, fromEditor ? Qt::Key_Escape : Qt::Key_F7);
        runUntilIdle();
        EXPECT_FALSE(pumpRunning()) << from->objectName().toStdString();
    }
}

}  // namespace
