// Closing the demo host while a device is driven stops the device first, as the
// simulated ECU itself shows; the window closes once the sequence is idle.
#include "ConnectDialog.h"
#include "DemoHostFixture.h"
#include "EndingSignals.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <thread>

TEST_F(DemoHost, shouldKeepTheRunInThreeFiles)
{
    QTest::qWait(300);
    control->findChild<QPushButton*>(QStringLiteral("CbStop"))->click();
    while (control->Busy() && limit.elapsed() < 8000)
        QTest::qWait(10);
    QTemporaryDir dir;
    QString why;
    ASSERT_TRUE(window->keepRun(dir.filePath("pump")));
    // The user is told where the run went.
    EXPECT_EQ(window->statusBar()->currentMessage(),
              QStringLiteral("Run saved in %1: pump.log, pump.csv, pump.json").arg(dir.path()));
    QFile log(dir.filePath("pump.log")), csv(dir.filePath("pump.csv")), json(dir.filePath("pump.json"));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly) && csv.open(QIODevice::ReadOnly) && json.open(QIODevice::ReadOnly));
    EXPECT_TRUE(QString::fromUtf8(log.readAll()).contains("  Stop driving : "));
    const QString values = QString::fromUtf8(csv.readAll());
    EXPECT_TRUE(values.startsWith("run,time,time_ms,ecu,device,item,value,unit\n"));
    EXPECT_TRUE(values.contains(",EngineControl,FuelPump,FuelPressure,"));
    const QJsonObject run = QJsonDocument::fromJson(json.readAll()).object()["runs"].toArray().first().toObject();
    EXPECT_EQ(run["device"].toString(), "FuelPump");
    EXPECT_EQ(run["mode"].toString(), "permanent");
    EXPECT_TRUE(run["deviceStopped"].toBool());
    // A file that cannot be written is named, and the earlier ones stay as they were.
    ASSERT_TRUE(QDir(dir.path()).mkdir("taken.csv"));
    EXPECT_FALSE(window->saveRun(dir.filePath("taken"), why));
    EXPECT_TRUE(why.startsWith(dir.filePath("taken.csv") + ": a directory")) << why.toStdString();
    // The plot drew the pressure read during the run, and stays after it.
    EXPECT_GT(window->plot()->pointCount("FuelPressure"), 0);
    EXPECT_TRUE(window->plot()->isVisibleTo(window.get()));
    EXPECT_TRUE(window->close());
}

TEST_F(DemoHost, shouldStopADrivenDeviceBeforeItCloses)
{

    EXPECT_FALSE(window->close());  // refused for now: the stop comes first
    while (window->isVisible() && limit.elapsed() < 10000)
        QTest::qWait(10);
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(running());
    EXPECT_FALSE(control->Busy());
}

TEST_F(DemoHost, shouldStopTheDeviceBeforeAnAbortAndStillClose)
{
    QAction* abort = nullptr;
    for (auto* action : window->findChildren<QAction*>()) {
        if (action->text() == QStringLiteral("&Abort")) abort = action;
    }
    ASSERT_NE(abort, nullptr);
    abort->trigger();
    while ((running() || control->Busy()) && limit.elapsed() < 10000)
        QTest::qWait(10);
    EXPECT_FALSE(running());
    EXPECT_TRUE(control->DrivenDevices().isEmpty());
    window->close();
    while (window->isVisible() && limit.elapsed() < 15000)
        QTest::qWait(10);
    EXPECT_FALSE(window->isVisible());
}

// The demo host changes its link only once the driven device is stopped, and says a refused one.
TEST(DemoLink, shouldStopTheDeviceBeforeReachingTheVehicleThroughAnotherLink)
{
    LineTiming instant{0, 0};
    DemoWindow window(QStringLiteral(TAVRIN_DATA_DIR), QStringLiteral("en"), instant, true);
    ASSERT_TRUE(window.start(openVehicle(QString(), instant)));
    EXPECT_FALSE(window.connectTo(QStringLiteral("can0")));
    ASSERT_TRUE(window.connectTo(QStringLiteral("kline:loopback")));
    auto* functions = window.control()->findChild<QTreeWidget*>(QStringLiteral("lvFunctions"));
    ASSERT_NE(row(functions, "EngineControl"), nullptr);
    functions->setCurrentItem(row(functions, "EngineControl"));
    QTest::keyClick(functions, Qt::Key_Return);
    auto* devices = window.control()->findChild<QTreeWidget*>(QStringLiteral("lvDevices"));
    devices->setCurrentItem(row(devices, "FuelPump"));
    QTest::keyClick(devices, Qt::Key_Return);
    window.control()->findChild<QPushButton*>(QStringLiteral("cbStartPerm"))->click();
    QElapsedTimer limit;
    limit.start();
    while (!window.control()->Busy() && limit.elapsed() < 5000)
        QTest::qWait(10);
    ASSERT_TRUE(window.control()->Busy());
    const auto linkOf = [&] {
        return std::dynamic_pointer_cast<TavrinKwp::KwpSession>(window.control()->Session())->linkName();
    };
    EXPECT_FALSE(window.connectTo(QStringLiteral("sim")));
    EXPECT_EQ(linkOf(), "kline:loopback");
    while (linkOf() != "sim" && limit.elapsed() < 20000)
        QTest::qWait(10);
    EXPECT_FALSE(window.control()->Busy());
    EXPECT_TRUE(window.control()->DrivenDevices().isEmpty());
    EXPECT_EQ(linkOf(), "sim");
}

TEST(DemoLink, shouldOfferTheSimulatedVehicleTheLoopbacksAndTheCanInterfaces)
{
    QStringList connections;
    for (const auto& [connection, text] : offeredLinks())
        connections << connection;
    EXPECT_EQ(connections.mid(0, 2), (QStringList{"sim", "kline:loopback"}));
    EXPECT_TRUE(connections.contains("can:loopback"));
    // The virtual CAN plugin always lists its interfaces.
    EXPECT_TRUE(connections.contains("can:virtualcan:can0")) << connections.join(", ").toStdString();
}

// Any port path or connection string can be typed; what is refused is said in
// the dialog, which stays open; a ping runs off the window's thread and says
// what an adapter is and which ECUs answer.
TEST(DemoLink, shouldTakeATypedConnectionCheckItAndPingTheEcus)
{
    LineTiming instant{0, 0};
    ConnectDialog dialog(QStringLiteral("sim"),
                         [instant](const QString& link) { return openVehicle(QString(), instant, link); });
    auto* links = dialog.findChild<QComboBox*>();
    ASSERT_TRUE(links && links->isEditable());
    links->setEditText(QStringLiteral("/dev/pts/97"));
    EXPECT_EQ(dialog.connection(), QStringLiteral("kline:/dev/pts/97"));
    EXPECT_TRUE(dialog.refusal().isEmpty());

    // The options' example and field follow the kind of link typed.
    auto* options = dialog.findChild<QLineEdit*>(QString(), Qt::FindDirectChildrenOnly);
    ASSERT_NE(options, nullptr);
    links->setEditText(QStringLiteral("elm:/dev/pts/97"));
    EXPECT_TRUE(options->isEnabled());
    EXPECT_TRUE(options->placeholderText().startsWith(QStringLiteral("baud=38400")))
        << options->placeholderText().toStdString();
    links->setEditText(QStringLiteral("kline:/dev/pts/97"));
    EXPECT_TRUE(options->placeholderText().startsWith(QStringLiteral("baud=10400")))
        << options->placeholderText().toStdString();

    links->setEditText(QStringLiteral("kline:/dev/pts/97?baud=0"));
    dialog.show();
    dialog.accept();
    EXPECT_TRUE(dialog.isVisible()) << "a refused connection is not taken";
    EXPECT_TRUE(dialog.answers().contains(QStringLiteral("baud must be a positive whole number")))
        << dialog.answers().toStdString();

    QSignalSpy pinged(&dialog, &ConnectDialog::pinged);
    links->setEditText(QStringLiteral("kline:loopback"));
    dialog.ping();
    EXPECT_TRUE(dialog.pinging()) << "the ping waits on the wire in a thread of its own";
    ASSERT_TRUE(pinged.wait(30000));
    // The summary first, then a line for each ECU, all kept in a field that scrolls.
    EXPECT_TRUE(dialog.answers().startsWith(QStringLiteral("6 of 6 ECUs answer over kline:loopback")))
        << dialog.answers().toStdString();
    EXPECT_EQ(dialog.answers().count(QStringLiteral(": answers")), 6) << dialog.answers().toStdString();

    // Through an adapter, the ping first says what the adapter is.
    links->setEditText(QStringLiteral("elm:loopback?chip=stn"));
    dialog.ping();
    ASSERT_TRUE(pinged.wait(30000));
    EXPECT_TRUE(dialog.answers().contains(QStringLiteral("chip: STN (STN1110")) &&
                dialog.answers().contains(QStringLiteral("6 of 6 ECUs answer over elm:loopback?chip=stn")))
        << dialog.answers().toStdString();

    links->setEditText(QStringLiteral("/dev/nonexistent-tty"));
    dialog.ping();
    ASSERT_TRUE(pinged.wait(30000));
    EXPECT_TRUE(dialog.answers().contains(
        QStringLiteral("Cannot open serial port '/dev/nonexistent-tty': the port is not there")))
        << dialog.answers().toStdString();
    EXPECT_TRUE(dialog.answers().contains(QStringLiteral("0 of 6 ECUs answer"))) << dialog.answers().toStdString();
}

// After SIGTERM the program ends within its limit whatever the stop waits for
// (here a teardown that never ends), with 128+N and what may still be driven.
TEST(EndingSignal, shouldEndWithinTheLimitWhateverTheStopWaitsFor)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            TavrinApps::noteStillDriven("FuelPump");
            TavrinApps::endWithin(100, SIGTERM, "tavrin-demo");
            for (;;)
                std::this_thread::sleep_for(std::chrono::seconds(1));
        },
        testing::ExitedWithCode(128 + SIGTERM),
        "tavrin-demo: the stop did not end within 100 ms: ending now; may still be driven: FuelPump");
}

// A pseudo-terminal the system does not list is offered again once typed, while it is there.
TEST(DemoLink, shouldOfferThePortsTypedBeforeWhileTheyAreThere)
{
    QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    QTemporaryDir ports;
    const QString there = ports.filePath("pts-there");
    QFile(there).open(QIODevice::WriteOnly);
    rememberTyped(QStringLiteral("kline:") + ports.filePath("pts-gone") + QStringLiteral("?baud=9600"));
    rememberTyped(QStringLiteral("elm:") + there + QStringLiteral("?baud=38400"));
    rememberTyped(QStringLiteral("kline:loopback"));  // names no port: nothing to remember
    EXPECT_EQ(typedBefore(), (QStringList{"elm:" + there, "kline:" + ports.filePath("pts-gone")}));
    QStringList connections;
    for (const auto& [connection, text] : offeredLinks())
        connections << connection;
    EXPECT_EQ(connections.count("elm:" + there), 1) << connections.join(", ").toStdString();
    EXPECT_FALSE(connections.contains("kline:" + ports.filePath("pts-gone")));
}
