// Runs a scenario against the real control on a simulated vehicle. The runner
// owns the clock of both, so a run is deterministic and a ten-minute test
// takes milliseconds. Everything goes through the control's real widgets.
// On a link to a real ECU the clock keeps pace with real time instead.
#pragma once

#include "KwpSession.h"
#include "ListView.h"
#include "RunPlot.h"
#include "RunRecorder.h"
#include "Script.h"
#include "SessionClock.h"
#include "ioctlAutomation.h"

#include <QElapsedTimer>
#include <QTextStream>

#include <memory>
#include <string>
#include <vector>

namespace Scenario {

struct Options {
    QString scriptName;
    QString scriptDir;
    QString installPath;
    bool show = false;
    QString link = QStringLiteral("sim");  // the connection string of the vehicle's link
    std::vector<std::string> keyFolders;   // where SecurityAccess key plug-ins are looked for
};

struct Expectation {
    int line = 0;
    QString text;
    QString failure;  // empty when it held
};

class Runner {
  public:
    Runner(QTextStream& out, Options options);
    ~Runner();

    // Throws ScriptError for a command whose words make no sense.
    void run(const std::vector<Command>& commands);
    const std::vector<Expectation>& expectations() const { return expectations_; }
    bool failed() const;
    // After a shown run: the clocks follow real time again.
    void handOverToRealTime();
    // Stops a device the control still drives; says how ("stopped", "emergency stopped"), empty when none was.
    QString stopDrivenDevice();
    bool deviceDriven() const;
    // The simulated vehicle and the run's clock, for tests that ask the ECU itself.
    std::shared_ptr<TavrinKwp::KwpSession> vehicle() const { return session_; }
    // What the run did, for --csv and --report.
    const TavrinApps::RunRecorder& record() const { return *record_; }
    uint32_t now() const { return clock_.now(); }

  public:
    using Words = QStringList;
    // A command of the language: its name, the fewest and most words after it
    // (-1: any number), and what runs it. One table serves the check and the run.
    struct CommandRule {
        const char* name;
        int fewest;
        int most;
        void (Runner::*run)(const Words&);
    };
    static const std::vector<CommandRule>& commandTable();
    static const CommandRule* findCommand(const QString& name);

  private:
    void execute(const Command& command);
    [[noreturn]] void fail(const QString& what) const;

    void vehicle(const Words& w);
    void link(const Words& w);
    void openVehicle();
    void paceWithRealTime();
    void settle();
    void install(const Words& w);
    void language(const Words& w);
    void init(const Words& w);
    void session(const Words& w);
    void size(const Words& w);
    void click(const Words& w);
    void clickButton(const QString& which);
    void clickRow(const QString& list, const QString& row);
    void clickHeader(const QString& list, const QString& column);
    void option(const Words& w);
    void monitor(const Words& w);
    void set(const Words& w);
    void abort(const Words& w);
    void step(const Words& w);
    void ticks(const Words& w);
    void waitFor(const Words& w);
    void fault(const Words& w);
    void adapterFault(const Words& w);
    void tick(int count, bool interruptible = true);
    void wait(uint32_t ms);
    void untilIdle(const Words& w);
    void print(const Words& w);
    void printLog(const Words& w);
    void printStatus(const Words& w);
    void printList(const Words& w);
    void printButtons(const Words& w);
    void printParams(const Words& w);
    void printState(const Words& w);
    void printCaptions(const Words& w);
    void printGeometry(const Words& w);
    void printErrors(const Words& w);
    void printVehicleCommand(const Words& w);
    void screenshot(const Words& w);
    void show(const Words& w);
    void printVehicle();
    QString drivenByEcu(const Words& w);
    void expect(const Words& w);
    void leave(const Words& w);
    QString actual(const Words& what);

    void say(const QString& line) { out_ << "  " << line << "\n"; }
    uint32_t duration(const Words& w, int index) const;
    int count(const QString& word) const;
    QWidget* widget(const QString& name) const;
    int arrayIndex(const QString& name, const QString& array, int size) const;
    TavrinPlatform::ListView* list(const QString& name) const;
    QString rowText(const TavrinPlatform::ListView* list, int row) const;

    QTextStream& out_;
    Options options_;
    TavrinKwp::ManualClock clock_{0};
    std::shared_ptr<TavrinKwp::KwpSession> session_;
    QString vehicleFile_;  // empty: the demo vehicle
    QElapsedTimer realTime_;
    uint32_t realTimeBase_ = 0;
    std::unique_ptr<TavrinIoCtl::ioctl> control_;
    QString language_ = QStringLiteral("en");
    uint32_t step_ = 100;
    uint32_t animationDue_ = 0;
    qsizetype printedLines_ = 0;
    quint64 printedClears_ = 0;
    QList<qint32> errors_;
    std::vector<Expectation> expectations_;
    int currentLine_ = 0;
    QString currentText_;
    bool leaveDriven_ = false;
    std::unique_ptr<TavrinApps::RunRecorder> record_;
    std::unique_ptr<RunPlot> plot_;  // drawn only into pictures that ask for it
    TavrinApps::RunRecorder::Context recordContext();
};

}  // namespace Scenario
