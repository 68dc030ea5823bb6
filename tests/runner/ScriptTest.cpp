#include "Script.h"
#include "ControlFixture.h"
#include "Runner.h"
#include "SimulatedEcu.h"
#include "SimulatedVehicle.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

using namespace Scenario;

namespace {

QString errorOf(const QString& text)
{
    try {
        checkScript(parseScript(text, "t.ioc"), "t.ioc");
    } catch (const ScriptError& error) {
        return error.message;
    }
    return {};
}

QString runError(const QString& text, QString* printed = nullptr)
{
    QString output;
    QTextStream out(&output);
    Runner runner(out, Options{"t.ioc", QDir::tempPath(), QStringLiteral(TAVRIN_DATA_DIR), false});
    QString message;
    try {
        auto commands = parseScript(text, "t.ioc");
        checkScript(commands, "t.ioc");
        runner.run(commands);
    } catch (const ScriptError& error) {
        message = error.message;
    }
    out.flush();
    if (printed) *printed = output;
    return message;
}

}  // namespace

TEST(ScenarioScript, shouldSplitWordsQuotesAndComments)
{
    const auto commands =
        parseScript("# a comment\n\nclick device \"Injector 2\"  # trailing\nexpect msg \"say \\\"hi\\\"\"\n", "t.ioc");
    ASSERT_EQ(commands.size(), 2u);
    EXPECT_EQ(commands[0].line, 3);
    EXPECT_EQ(commands[0].words, QStringList({"click", "device", "Injector 2"}));
    EXPECT_EQ(commands[0].text, "click device \"Injector 2\"");
    EXPECT_EQ(commands[1].words.back(), "say \"hi\"");
    EXPECT_EQ(parseScript("expect msg \"\"", "t.ioc")[0].words, QStringList({"expect", "msg", ""}));
}

TEST(ScenarioScript, shouldNameTheScriptAndLineOfEachMistake)
{
    EXPECT_EQ(errorOf("init\nclik start-tempo\n"), "t.ioc:2: unknown command 'clik'");
    EXPECT_EQ(errorOf("\n\nexpect msg \"open\n"), "t.ioc:3: a quoted text is not closed");
    EXPECT_EQ(errorOf("size 100\n"), "t.ioc:1: 'size' needs at least 2 words after it");
    EXPECT_EQ(errorOf("abort now\n"), "t.ioc:1: 'abort' takes at most 0 words after it");
    EXPECT_EQ(errorOf("init en\nwait 5 s\n"), "");
}

TEST(ScenarioScript, shouldReportMeaninglessWordsWhenTheyRun)
{
    EXPECT_EQ(runError("init en\nwait 5 hours\n"), "t.ioc:2: unknown time unit 'hours' (ms, s or min)");
    EXPECT_EQ(runError("init en\nprint list everything\n"),
              "t.ioc:2: unknown list 'everything' (functions, devices, data or status)");
    EXPECT_EQ(runError("init en\nclick function Nowhere\n"), "t.ioc:2: no row 'Nowhere' in lvFunctions");
    EXPECT_EQ(runError("fault negative EngineControl OutputControl 300\n"),
              "t.ioc:1: response code '300' is not 1 to 255");
    EXPECT_EQ(runError("init en\nexpect visible OptionPermX yes\n"),
              "t.ioc:2: no widget 'OptionPermX': OptionPerm takes 0 to 2");
    EXPECT_EQ(runError("init en\nexpect visible DeviceParam1x yes\n"),
              "t.ioc:2: no widget 'DeviceParam1x': DeviceParam takes 0 to 0");
    EXPECT_EQ(runError("init en\nwait 4294967 min\n"), "t.ioc:2: '4294967 min' is longer than the clock can count");
    EXPECT_EQ(runError("fault init Nowhere\n"), "t.ioc:1: no ECU 'Nowhere' in the vehicle");
    const QString missing = runError("vehicle missing.xml\n");
    EXPECT_TRUE(missing.startsWith("t.ioc:1: " + QDir::tempPath() + "/missing.xml: cannot open the file"))
        << missing.toStdString();
}

TEST(ScenarioScript, shouldReportAFailedExpectationWithBothValues)
{
    QString printed;
    EXPECT_EQ(runError("init en\nexpect state Status\nexpect busy false\n", &printed), "");
    EXPECT_TRUE(printed.contains("  FAILED: expected \"Status\", got \"Idle\""));
}

// A script that forgets to stop leaves no device driven: the runner stops it and fails.
TEST(ScenarioScript, shouldStopADeviceStillDrivenAtTheEndAndFail)
{
    for (bool onPurpose : {false, true}) {
        QString printed;
        QTextStream out(&printed);
        Runner runner(out, Options{"t.ioc", QDir::tempPath(), QStringLiteral(TAVRIN_DATA_DIR), false});
        QString script = "init en\nclick function EngineControl\nclick device FuelPump\nclick start-perm\nwait 2 s\n";
        if (onPurpose) script += "leave driven\n";
        runner.run(parseScript(script, "t.ioc"));
        out.flush();
        const bool running = TavrinKwp::simulatedVehicle(*runner.vehicle())
                                 .behaviour("EngineControl")
                                 .deviceRunning("FuelPump", runner.now());
        EXPECT_EQ(runner.failed(), !onPurpose);
        EXPECT_EQ(running, onPurpose);
        if (!onPurpose) {
            EXPECT_TRUE(printed.contains("FAILED: device still driven at end of script: stopped"));
            EXPECT_TRUE(printed.contains("  Stop driving : 83 11 F1 30 01 00 B6->"));
        }
    }
}

// A kept run reads back as what was driven: its values and its summary.
TEST(ScenarioScript, shouldKeepTheRunAsCsvAndJson)
{
    QString printed;
    QTextStream out(&printed);
    Runner runner(out, Options{"t.ioc", QDir::tempPath(), QStringLiteral(TAVRIN_DATA_DIR), false});
    runner.run(parseScript("init en\nclick function EngineControl\nclick device EGRValve\noption 1\nmonitor on\n"
                           "click start-perm\nwait 1 s\nclick stop\nuntil idle\nclick device ThrottleActuator\n"
                           "click start-perm\nuntil idle\n",
                           "t.ioc"));
    QTemporaryDir dir;
    QString why;
    ASSERT_TRUE(runner.record().writeCsv(dir.filePath("run.csv"), why)) << why.toStdString();
    ASSERT_TRUE(runner.record().writeReport(dir.filePath("run.json"), why)) << why.toStdString();
    ASSERT_TRUE(runner.record().writeLog(dir.filePath("run.log"), why)) << why.toStdString();

    QFile csv(dir.filePath("run.csv"));
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(csv.readAll()).split('\n', Qt::SkipEmptyParts);
    EXPECT_EQ(lines.front(), "run,time,time_ms,ecu,device,item,value,unit");
    EXPECT_FALSE(lines.filter(",EngineControl,EGRValve,EGRPosition,").isEmpty());
    EXPECT_FALSE(lines.filter(",EngineControl,EGRValve,OutputControlStatus,1,").isEmpty());
    // Every row says its run and when it was read, so rows of several runs never go back in time.
    QDateTime before;
    for (const QString& row : lines.mid(1)) {
        const QStringList fields = row.split(',');
        EXPECT_EQ(fields[0], fields[4] == "EGRValve" ? "1" : "2") << row.toStdString();
        const QDateTime at = QDateTime::fromString(fields[1], Qt::ISODateWithMs);
        ASSERT_TRUE(at.isValid()) << row.toStdString();
        EXPECT_GE(at, before) << row.toStdString();
        before = at;
    }

    // The log of every run, not only of the last one the control still shows.
    QFile log(dir.filePath("run.log"));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QString logText = QString::fromUtf8(log.readAll());
    const auto first = logText.indexOf("=== Run 1: EngineControl / EGRValve, permanent, ");
    const auto second = logText.indexOf("=== Run 2: EngineControl / ThrottleActuator, permanent, ");
    ASSERT_TRUE(first >= 0 && second > first) << logText.toStdString();
    EXPECT_TRUE(logText.mid(first, second - first).contains("  Stop driving : ")) << logText.toStdString();
    EXPECT_TRUE(logText.mid(second).contains("Start driving error")) << logText.toStdString();

    QFile json(dir.filePath("run.json"));
    ASSERT_TRUE(json.open(QIODevice::ReadOnly));
    const QJsonArray runs = QJsonDocument::fromJson(json.readAll()).object()["runs"].toArray();
    ASSERT_EQ(runs.size(), 2);
    const QJsonObject valve = runs[0].toObject();
    EXPECT_EQ(valve["device"].toString(), "EGRValve");
    EXPECT_EQ(valve["mode"].toString(), "permanent");
    EXPECT_EQ(valve["run"].toInt(), 1);
    EXPECT_EQ(valve["options"].toObject()["option"].toString(), "Monitor Status");
    // What was commanded: the session and the parameters as the user left them.
    EXPECT_EQ(valve["session"].toString(), "Adjustment") << QJsonDocument(valve).toJson().toStdString();
    EXPECT_EQ(valve["parameters"].toObject()["OutputControl.Duty"].toString(), "50 %")
        << QJsonDocument(valve).toJson().toStdString();
    EXPECT_TRUE(valve["options"].toObject()["monitorData"].toBool());
    EXPECT_EQ(valve["finalState"].toString(), "Idle");
    EXPECT_TRUE(valve["deviceStopped"].toBool());
    EXPECT_TRUE(valve["errors"].toArray().isEmpty());
    // The vehicle as loaded, not a fixed word.
    EXPECT_EQ(valve["vehicle"].toString(), "Demo vehicle");
    EXPECT_EQ(valve["link"].toString(), "sim");
    const QJsonArray refused = runs[1].toObject()["errors"].toArray();
    ASSERT_EQ(refused.size(), 1);
    EXPECT_EQ(refused[0].toObject()["number"].toInt(), 0x22);
}

// Names and units come from vehicle files and ECUs: the CSV keeps every row
// whole for a standard reader, and never hands a spreadsheet a formula.
TEST(RunFiles, shouldQuoteFieldsAndWriteFormulasAsText)
{
    using TavrinApps::csvField;
    EXPECT_EQ(csvField("EGRPosition"), "EGRPosition");
    EXPECT_EQ(csvField("a,b"), "\"a,b\"");
    EXPECT_EQ(csvField("say \"hi\""), "\"say \"\"hi\"\"\"");
    EXPECT_EQ(csvField("two\nlines"), "\"two\nlines\"");
    EXPECT_EQ(csvField("bare\rreturn"), "\"bare\rreturn\"");
    EXPECT_EQ(csvField("=cmd|' /C calc'!A0"), "'=cmd|' /C calc'!A0");
    EXPECT_EQ(csvField("+1+1"), "'+1+1");
    EXPECT_EQ(csvField("-x"), "'-x");
    EXPECT_EQ(csvField("@SUM(A1)"), "'@SUM(A1)");
    EXPECT_EQ(csvField("\tTAB"), "'\tTAB");
    EXPECT_EQ(csvField("\rCR"), "\"'\rCR\"");
    EXPECT_EQ(csvField("=1,2"), "\"'=1,2\"");
    // Numbers stay numbers.
    EXPECT_EQ(csvField("-3.5"), "-3.5");
    EXPECT_EQ(csvField("+2"), "+2");
    EXPECT_EQ(csvField("1e-3"), "1e-3");
}
