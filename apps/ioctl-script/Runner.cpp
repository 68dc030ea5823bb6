#include "Runner.h"

#include "DemoVehicle.h"
#include "EndingSignals.h"
#include "FaultInjector.h"
#include "LanguageCheck.h"
#include "SessionClock.h"
#include "SimulatedEcu.h"
#include "SimulatedVehicle.h"
#include "ioctl_p.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QPainter>
#include <QSignalBlocker>
#include <QTest>
#include <QThread>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <optional>

namespace Scenario {

Runner::Runner(QTextStream& out, Options options) : out_(out), options_(std::move(options))
{
    control_ = std::make_unique<TavrinIoCtl::ioctl>();
    control_->setClock([this] { return clock_.now(); });
    // Pinned measures: the same figures on every machine.
    TavrinIoCtl::pinMeasures(*control_, 6);
    control_->resize(1000, 680);
    control_->setWindowTitle(QStringLiteral("Tavrin Input Output Control - ") + options_.scriptName);
    QObject::connect(control_.get(), &TavrinIoCtl::ioctl::ErrorMsg, control_.get(),
                     [this](qint32 code) { errors_ << code; });
    control_->show();
    openVehicle();
    record_ = std::make_unique<TavrinApps::RunRecorder>(*control_, QStringLiteral("demo"), recordContext());
    plot_ = std::make_unique<RunPlot>(*control_);
}

TavrinApps::RunRecorder::Context Runner::recordContext()
{
    auto current = [this] {
        const auto& chosen = selectionOf(*control_);
        QString ecu;
        try {
            if (chosen.SelectedEcu) ecu = QString::fromStdString(chosen.SelectedEcu->Name());
        } catch (const std::exception&) {
            // an ECU that cannot tell its name stays unnamed in the record
        }
        const auto& drive = sequencerWidgetsOf(*control_);
        QString option;
        for (auto* button : drive.OptionPerm) {
            if (button->isChecked()) option = button->text();
        }
        return QStringList{ecu, chosen.SelectedDeviceName,
                           runStateOf(*control_).DriveMode == TavrinIoCtl::DriveModeValue::Temporary ? "temporary"
                                                                                                     : "permanent",
                           option, drive.ckReadData->isChecked() ? "1" : "0"};
    };
    return {current, [this] { return clock_.now(); },
            [this] {
                if (!session_) return QStringList();
                const auto& vehicle = session_->vehicle();
                return QStringList{QString::fromStdString(vehicle.name), QString::fromStdString(vehicle.file),
                                   QString::fromStdString(session_->linkName())};
            }};
}

Runner::~Runner() = default;

void Runner::fail(const QString& what) const
{
    throw ScriptError(options_.scriptName, currentLine_, what);
}

bool Runner::failed() const
{
    for (const auto& expectation : expectations_) {
        if (!expectation.failure.isEmpty()) return true;
    }
    return false;
}

void Runner::run(const std::vector<Command>& commands)
{
    try {
        for (const auto& command : commands) {
            currentLine_ = command.line;
            out_ << "> " << command.text << "\n";
            execute(command);
            settle();
            out_.flush();
            if (TavrinApps::endingSignal() != 0) fail("interrupted (Ctrl+C, SIGTERM or SIGHUP)");
        }
    } catch (const ScriptError&) {
        // Whatever ends the script early, the device it drives is stopped first.
        stopDrivenDevice();
        throw;
    }
    if (!deviceDriven()) return;
    if (leaveDriven_) {
        say("device still driven at end of script, as the script asked");
        return;
    }
    const QString how = stopDrivenDevice();
    const QString failure = "device still driven at end of script: " + how;
    say("FAILED: " + failure);
    expectations_.push_back({currentLine_, QStringLiteral("end of script"), failure});
}

// A sequence that runs, or a device the control says may still be driven.
bool Runner::deviceDriven() const
{
    return sequencerWidgetsOf(*control_).ioCtlTimer->isActive() || !control_->DrivenDevices().isEmpty();
}

// The stop click, then Idle within ten seconds of the run's clock; else the
// emergency stop. Says which it took.
QString Runner::stopDrivenDevice()
{
    if (!deviceDriven()) return {};
    const auto& drive = sequencerWidgetsOf(*control_);
    const auto& reporting = reportingWidgetsOf(*control_);
    out_ << "> (stopping the driven device)\n";
    const auto running = [&] { return drive.ioCtlTimer->isActive(); };
    TavrinIoCtl::Events(*control_).CbStop_Click();
    settle();
    for (uint32_t waited = 0; running() && waited < 10000; waited += step_)
        tick(1, false);
    QString how = QStringLiteral("stopped");
    if (running() || !control_->DrivenDevices().isEmpty()) {
        TavrinIoCtl::Events(*control_).cbEstop_Click();
        settle();
        for (uint32_t waited = 0; running() && waited < 2000; waited += step_)
            tick(1, false);
        how = QStringLiteral("emergency stopped");
    }
    reporting.runLog->flush();
    const auto& lines = reporting.runLog->lines();
    for (qsizetype i = std::max<qsizetype>(0, lines.lineCount() - 4); i < lines.lineCount(); ++i)
        say(lines.line(i));
    out_.flush();
    return how;
}

void Runner::leave(const Words& w)
{
    if (w[0] != "driven") fail("leave driven");
    leaveDriven_ = true;
}

void Runner::execute(const Command& command)
{
    currentText_ = command.text;
    const auto* rule = findCommand(command.words.front());
    if (rule == nullptr) fail("unknown command '" + command.words.front() + "'");
    try {
        (this->*rule->run)(command.words.mid(1));
    } catch (const Sorvik3::Error& error) {
        // e.g. a fault asked of a real vehicle
        fail(QString::fromStdString(error.description()));
    }
}

void Runner::step(const Words& w)
{
    step_ = std::max<uint32_t>(1, duration(w, 0));
}

void Runner::ticks(const Words& w)
{
    tick(w.isEmpty() ? 1 : count(w[0]));
}

void Runner::waitFor(const Words& w)
{
    wait(duration(w, 0));
}

int Runner::count(const QString& word) const
{
    bool ok = false;
    const int value = word.toInt(&ok);
    const bool digits = !word.isEmpty() && std::all_of(word.begin(), word.end(), [](QChar c) { return c.isDigit(); });
    if (!ok && digits) fail("'" + word + "' is too large (at most " + QString::number(INT_MAX) + ")");
    if (!ok || value < 0) fail("'" + word + "' is not a whole number");
    return value;
}

uint32_t Runner::duration(const Words& w, int index) const
{
    const uint64_t value = static_cast<uint64_t>(count(w[index]));
    uint64_t unit = 1;
    if (w.size() > index + 1) {
        const QString name = w[index + 1];
        if (name == "s")
            unit = 1000;
        else if (name == "min")
            unit = 60000;
        else if (name != "ms")
            fail("unknown time unit '" + name + "' (ms, s or min)");
    }
    // The clock counts 32-bit milliseconds: a longer time would wrap to a short one.
    if (value * unit > 0xFFFFFFFFull) fail("'" + w.mid(index, 2).join(' ') + "' is longer than the clock can count");
    return static_cast<uint32_t>(value * unit);
}

// A real ECU lives in real time: the scripted clock never runs ahead of it,
// and catches up when a tick took longer than its step (a slow line), so
// "wait 60 s" lasts 60 s and not a minute of ticks.
void Runner::paceWithRealTime()
{
    if (TavrinKwp::isSimulated(*session_)) return;
    const qint64 ahead = static_cast<qint64>(clock_.now() - realTimeBase_) - realTime_.elapsed();
    if (ahead > 0) QThread::msleep(static_cast<unsigned long>(ahead));
    if (ahead < 0) clock_.advance(static_cast<uint32_t>(-ahead));
}

// A request of the control completes on the line's thread, which hands the
// rest of the step to the application's thread: the script's next step waits
// for it on its own clock. Only those hand-overs are taken, no other event, so
// a run over a line shows what the same run in the process shows.
void Runner::settle()
{
    while (TavrinIoCtl::requestInFlight(*control_)) {
        QCoreApplication::sendPostedEvents(QCoreApplication::instance(), QEvent::MetaCall);
        if (TavrinIoCtl::requestInFlight(*control_)) QThread::usleep(200);
    }
}

void Runner::tick(int ticks, bool interruptible)
{
    const auto& drive = sequencerWidgetsOf(*control_);
    const auto& reporting = reportingWidgetsOf(*control_);
    for (int i = 0; i < ticks && !(interruptible && TavrinApps::endingSignal() != 0); ++i) {
        clock_.advance(step_);
        paceWithRealTime();
        // The animation timer keeps its own pace on the same clock.
        const auto pace = static_cast<uint32_t>(drive.timRun->interval());
        while (drive.timRun->isActive() && clock_.now() >= animationDue_) {
            TavrinIoCtl::Events(*control_).timRun_Timer();
            animationDue_ += pace;
        }
        if (!drive.timRun->isActive()) animationDue_ = clock_.now() + pace;
        settle();
        if (drive.ioCtlTimer->isActive()) TavrinIoCtl::Events(*control_).ioCtlTimer_Timer();
        settle();
        if (options_.show) {
            // Let the window paint, but keep the real timers from ticking on their own.
            const QSignalBlocker sequence(drive.ioCtlTimer);
            const QSignalBlocker animation(drive.timRun);
            reporting.runLog->flush();
            QApplication::processEvents();
        }
    }
}

void Runner::wait(uint32_t ms)
{
    if (TavrinKwp::isSimulated(*session_)) return tick(static_cast<int>(std::max<uint32_t>(1, ms / step_)));
    // On a real line the clock may catch up with real time: the wait is measured on it.
    const uint32_t start = clock_.now();
    do
        tick(1);
    while (clock_.now() - start < ms && TavrinApps::endingSignal() == 0);
}

void Runner::untilIdle(const Words& words)
{
    Words w = words;
    if (w.size() > 1 && w[1] == "within") w.removeAt(1);
    if (w[0] != "idle" || w.size() > 3) fail("until idle [within LIMIT [ms|s|min]]");
    const uint32_t limit = w.size() > 1 ? duration(w, 1) : 60000u;
    uint32_t waited = 0;
    while (sequencerWidgetsOf(*control_).ioCtlTimer->isActive() && waited < limit) {
        tick(1);
        waited += step_;
    }
    if (sequencerWidgetsOf(*control_).ioCtlTimer->isActive()) {
        const QString failure = QStringLiteral("still running after %1 ms").arg(limit);
        say("FAILED: " + failure);
        expectations_.push_back({currentLine_, QStringLiteral("until idle"), failure});
    }
}

void Runner::handOverToRealTime()
{
    const uint32_t base = clock_.now();
    auto since = std::make_shared<QElapsedTimer>();
    since->start();
    auto now = [base, since] { return base + static_cast<uint32_t>(since->elapsed()); };
    control_->setClock(now);
    session_->setClock(TavrinKwp::SessionClock{now, TavrinKwp::SessionClock::system().sleep});
}

}  // namespace Scenario
