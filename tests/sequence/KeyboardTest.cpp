// The control driven by the keyboard alone: the lists choose with Return and
// Space, the highlighted row is always the loaded one, and the drive keys (F5,
// F6, F7, Esc) act from any widget of the window, only while their button shows;
// Esc and F7 also from a menu or a dialog.
#include "FaultInjector.h"
#include "SequenceFixture.h"
#include "Settle.h"
#include "SimulatedEcu.h"
#include "SimulatedVehicle.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QVBoxLayout>

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

    // Ctrl+2 sorts by the second column as a click on its header does; again, the other way.
    devices->setFocus();
    QTest::keyClick(devices, Qt::Key_2, Qt::ControlModifier);
    EXPECT_TRUE(devices->sorted());
    EXPECT_EQ(devices->sortKey(), 1);
    const Qt::SortOrder first = devices->sortOrder();
    QTest::keyClick(devices, Qt::Key_2, Qt::ControlModifier);
    EXPECT_NE(devices->sortOrder(), first);
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
    // Idle: Esc and F7 act on nothing (a host dialog still closes on Esc).
    const auto actions = control->driveActions();
    ASSERT_EQ(actions.size(), 4);
    EXPECT_FALSE(actions[2]->isEnabled());
    EXPECT_FALSE(actions[3]->isEnabled());
    EXPECT_TRUE(actions[0]->isEnabled());
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

// A host puts the control beside its own widgets, and opens menus and dialogs
// while a device runs: the stop keys still reach the control.
TEST_F(Keyboard, shouldStopFromAHostWidgetAMenuOrADialog)
{
    QWidget host;
    auto* layout = new QVBoxLayout(&host);
    auto* note = new QLineEdit(&host);
    layout->addWidget(note);
    control->setParent(&host);
    layout->addWidget(control.get());
    host.resize(1000, 720);
    host.show();
    QApplication::setActiveWindow(&host);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&host));
    chooseEcu("EngineControl");

    QMenu menu(&host);
    menu.addAction(QStringLiteral("Nothing"));
    QDialog dialog(&host);
    dialog.setModal(true);
    auto* field = new QLineEdit(&dialog);
    const std::pair<const char*, std::function<void()>> ways[] = {
        {"Esc in a host's field", [&] { press(note, Qt::Key_Escape); }},
        {"Esc in an open menu",
         [&] {
             menu.popup(host.mapToGlobal(QPoint(10, 10)));
             ASSERT_TRUE(QTest::qWaitForWindowExposed(&menu));
             QTest::keyClick(&menu, Qt::Key_Escape);
             EXPECT_FALSE(menu.isVisible()) << "Esc still closes the menu";
         }},
        {"F7 in a modal dialog",
         [&] {
             dialog.show();
             ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
             press(field, Qt::Key_F7);
             dialog.hide();
         }},
    };
    for (const auto& [way, act] : ways) {
        chooseDevice("FuelPump");
        sequencerWidgets().cbStartPerm->click();
        runFor(500);
        ASSERT_TRUE(pumpRunning()) << way;
        act();
        runUntilIdle();
        EXPECT_FALSE(pumpRunning()) << way;
        EXPECT_TRUE(control->DrivenDevices().isEmpty()) << way;
    }
    control->setParent(nullptr);
}

// The focus begins on the ECU list, and a stop made with the keyboard leaves it
// on the start, not on whatever follows the hidden stop button.
TEST_F(Keyboard, shouldBeginOnTheEcuListAndComeBackToTheStartAfterAStop)
{
    control->setFocus();
    EXPECT_EQ(QApplication::focusWidget(), catalogueWidgets().lvFunctions);
    chooseEcu("EngineControl");
    chooseDevice("FuelPump");
    press(catalogueWidgets().lvDevices, Qt::Key_F6);
    runFor(500);
    ASSERT_TRUE(pumpRunning());
    press(sequencerWidgets().CbStop, Qt::Key_Space);
    runUntilIdle();
    ASSERT_FALSE(pumpRunning());
    EXPECT_EQ(QApplication::focusWidget(), sequencerWidgets().cbStartTempo);
}

// The actions a host puts in its menus speak the control's language.
TEST_F(Keyboard, shouldNameTheDriveActionsInTheLanguageLoaded)
{
    initialise("fr");
    QStringList texts;
    for (const QAction* action : control->driveActions())
        texts << action->text() + " " + action->shortcut().toString();
    EXPECT_EQ(texts, QStringList({"Démarrer tempo F5", "Démarrer perm F6", "Arrêt F7", "Arrêt d'urgence Esc"}));
}

// A stop the ECU refused three times leaves the pump driven and the sequence
// idle: F7 (or the host's stopDrivenDevices) stops it again.
TEST_F(Keyboard, shouldStopAgainWithF7WhatAFailedStopLeftDriven)
{
    chooseEcu("EngineControl");
    chooseDevice("FuelPump");
    press(catalogueWidgets().lvDevices, Qt::Key_F6);
    runFor(500);
    ASSERT_TRUE(pumpRunning());
    TavrinKwp::simulatedVehicle(*session).faults().answerNegatively("EngineControl", "OutputControl.Stop.FuelPump",
                                                                    0x22, TavrinIoCtl::kStopAttempts);
    press(catalogueWidgets().lvStatus, Qt::Key_F7);
    runUntilIdle();
    ASSERT_TRUE(pumpRunning());
    ASSERT_EQ(control->DrivenDevices(), QStringList({"FuelPump"}));
    const QAction* stop = control->driveActions()[2];
    EXPECT_TRUE(stop->isEnabled());
    EXPECT_TRUE(sequencerWidgets().CbStop->isHidden());
    // The pump is not started again before its stop is confirmed: F6 does nothing.
    EXPECT_FALSE(sequencerWidgets().cbStartPerm->isEnabled());
    EXPECT_FALSE(control->driveActions()[1]->isEnabled());

    press(catalogueWidgets().lvDevices, Qt::Key_F7);
    settle(*control);
    EXPECT_FALSE(pumpRunning());
    EXPECT_TRUE(control->DrivenDevices().isEmpty());
    EXPECT_FALSE(stop->isEnabled());
    EXPECT_TRUE(sequencerWidgets().cbStartPerm->isEnabled());
    EXPECT_TRUE(logLines().contains("User stop of the devices that may still be driven : FuelPump"));
}

}  // namespace
