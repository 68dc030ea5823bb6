#include "Runner.h"

#include "ControlFields.h"
#include "DemoVehicle.h"
#include "EndingSignals.h"
#include "FaultInjector.h"
#include "Form.h"
#include "LanguageCheck.h"
#include "SimClock.h"
#include "SimulatedEcu.h"

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
namespace {

const char* const kButtons[][2] = {{"start-tempo", "cbStartTempo"},
                                   {"start-perm", "cbStartPerm"},
                                   {"stop", "CbStop"},
                                   {"estop", "cbEstop"},
                                   {"read-data", "cbReadData"}};

}  // namespace

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
        const auto& fields = fieldsOf(*control_);
        QString ecu;
        try {
            if (fields.SelectedEcu) ecu = QString::fromStdString(fields.SelectedEcu->Name());
        } catch (const std::exception&) {
            // an ECU that cannot tell its name stays unnamed in the record
        }
        const auto& f = formOf(*control_);
        QString option;
        for (auto* button : f.OptionPerm) {
            if (button->isChecked()) option = button->text();
        }
        return QStringList{ecu, fields.SelectedDeviceName,
                           fields.DriveMode == TavrinIoCtl::DriveModeValue::Temporary ? "temporary" : "permanent",
                           option, f.ckReadData->isChecked() ? "1" : "0"};
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
    return formOf(*control_).ioCtlTimer->isActive() || !control_->DrivenDevices().isEmpty();
}

// The stop click, then Idle within ten seconds of the run's clock; else the
// emergency stop. Says which it took.
QString Runner::stopDrivenDevice()
{
    if (!deviceDriven()) return {};
    const auto& f = formOf(*control_);
    out_ << "> (stopping the driven device)\n";
    const auto running = [&] { return f.ioCtlTimer->isActive(); };
    control_->CbStop_Click();
    for (uint32_t waited = 0; running() && waited < 10000; waited += step_)
        tick(1, false);
    QString how = QStringLiteral("stopped");
    if (running() || !control_->DrivenDevices().isEmpty()) {
        control_->cbEstop_Click();
        for (uint32_t waited = 0; running() && waited < 2000; waited += step_)
            tick(1, false);
        how = QStringLiteral("emergency stopped");
    }
    f.runLog->flush();
    const auto& lines = f.runLog->lines();
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

void Runner::install(const Words& w)
{
    options_.installPath = QDir(options_.scriptDir).absoluteFilePath(w[0]);
}

void Runner::language(const Words& w)
{
    language_ = w[0];
}

void Runner::session(const Words&)
{
    control_->setSession(session_);
}

void Runner::size(const Words& w)
{
    // Larger than any screen a control is shown on: a picture of it would take gigabytes.
    constexpr int kLargest = 8192;
    const int width = count(w[0]);
    const int height = count(w[1]);
    if (width < 1 || height < 1 || width > kLargest || height > kLargest)
        fail("size " + w[0] + " " + w[1] + ": a width and a height of 1 to " + QString::number(kLargest) + " pixels");
    control_->resize(width, height);
}

void Runner::abort(const Words&)
{
    control_->Abort();
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

void Runner::show(const Words&)
{
    formOf(*control_).runLog->flush();
    QApplication::processEvents();
}

void Runner::screenshot(const Words& w)
{
    const QString& file = w[0];
    if (w.size() > 1 && w[1] != "plot") fail("screenshot FILE [plot]");
    formOf(*control_).runLog->flush();
    QApplication::processEvents();
    QImage picture = control_->grab().toImage();
    if (w.size() > 1) {
        // The control with the live plot of the run below it, as the demo host shows them.
        plot_->flush();
        plot_->resize(control_->width(), 300);
        QApplication::processEvents();
        const QImage plot = plot_->grab().toImage();
        QImage both(picture.width(), picture.height() + plot.height(), QImage::Format_ARGB32);
        both.fill(Qt::white);
        QPainter painter(&both);
        painter.drawImage(0, 0, picture);
        painter.drawImage(0, picture.height(), plot);
        painter.end();
        picture = both;
    }
    const QString path = QDir(options_.scriptDir).absoluteFilePath(file);
    QString why;
    if (!TavrinApps::savePicture(picture, path, why)) fail(path + ": cannot save the picture: " + why);
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

void Runner::openVehicle()
{
    const std::string link = options_.link.toStdString();
    session_ = vehicleFile_.isEmpty() ? Sorvik3Sim::KwpSession::fromText(Sorvik3Sim::demoVehicleXml(), "demo.xml", link)
                                      : Sorvik3Sim::KwpSession::load(vehicleFile_.toStdString(), link);
    session_->setClock(clock_.clock());
    realTime_.start();
    realTimeBase_ = clock_.now();
}

void Runner::vehicle(const Words& w)
{
    vehicleFile_ = w[0] == "demo" ? QString() : QDir(options_.scriptDir).absoluteFilePath(w[0]);
    try {
        openVehicle();
    } catch (const Sorvik3::Error& error) {
        fail(QString::fromStdString(error.description()));
    }
}

void Runner::link(const Words& w)
{
    options_.link = w[0];
    try {
        openVehicle();
    } catch (const Sorvik3::Error& error) {
        fail(QString::fromStdString(error.description()));
    }
}

// A real ECU lives in real time: the scripted clock never runs ahead of it.
void Runner::paceWithRealTime()
{
    if (session_->simulated()) return;
    const qint64 ahead = static_cast<qint64>(clock_.now() - realTimeBase_) - realTime_.elapsed();
    if (ahead > 0) QThread::msleep(static_cast<unsigned long>(ahead));
}

void Runner::init(const Words& w)
{
    if (!w.isEmpty()) language_ = w[0];
    const QString warning =
        TavrinApps::unknownLanguageWarning(QStringLiteral("ioctl-script"), options_.installPath, language_);
    if (!warning.isEmpty()) std::fprintf(stderr, "%s\n", qPrintable(warning));
    try {
        control_->initParameters(options_.installPath, language_, session_);
    } catch (const Sorvik3::Error& error) {
        say(QStringLiteral("initParameters failed: error %1: %2")
                .arg(error.number())
                .arg(QString::fromStdString(error.description()).replace("\r\n", " / ")));
    }
}

// An index that is not a number in range is an error, never another element.
int Runner::arrayIndex(const QString& name, const QString& array, int size) const
{
    bool ok = false;
    const int index = name.mid(array.size()).toInt(&ok);
    if (!ok || index < 0 || index >= size)
        fail("no widget '" + name + "': " + array + " takes 0 to " + QString::number(size - 1));
    return index;
}

QWidget* Runner::widget(const QString& name) const
{
    const auto& f = formOf(*control_);
    if (name.startsWith("OptionPerm")) return f.OptionPerm[arrayIndex(name, "OptionPerm", 3)];
    if (name.startsWith("DeviceParam"))
        return f.DeviceParam[arrayIndex(name, "DeviceParam", int(f.DeviceParam.size()))];
    for (const auto& [word, object] : kButtons) {
        if (name == word) return control_->findChild<QWidget*>(object);
    }
    return control_->findChild<QWidget*>(name);
}

TavrinPlatform::ListView* Runner::list(const QString& name) const
{
    const auto& f = formOf(*control_);
    if (name == "functions") return f.lvFunctions;
    if (name == "devices") return f.lvDevices;
    if (name == "data") return f.lvData;
    if (name == "status") return f.lvStatus;
    fail("unknown list '" + name + "' (functions, devices, data or status)");
}

void Runner::click(const Words& w)
{
    const QString what = w[0];
    if (what == "function" || what == "device") {
        if (w.size() < 2) fail("which " + what + "?");
        clickRow(what == "function" ? "functions" : "devices", w[1]);
    } else if (what == "header") {
        if (w.size() < 3) fail("click header LIST COLUMN");
        clickHeader(w[1], w[2]);
    } else if (what == "msg") {
        QTest::mouseClick(formOf(*control_).sbMain->panel("MSG"), Qt::LeftButton);
    } else {
        clickButton(what);
    }
}

void Runner::clickButton(const QString& which)
{
    QWidget* button = nullptr;
    for (const auto& [word, object] : kButtons) {
        if (which == word) button = control_->findChild<QWidget*>(object);
    }
    if (button == nullptr)
        fail("unknown button '" + which + "' (start-tempo, start-perm, stop, estop, read-data, msg)");
    if (!button->isVisibleTo(control_.get()) || !button->isEnabled()) {
        say(button->objectName() + (button->isVisibleTo(control_.get()) ? " is disabled" : " is hidden") +
            ": nothing happens");
        return;
    }
    QTest::mouseClick(button, Qt::LeftButton);
}

void Runner::clickRow(const QString& listName, const QString& row)
{
    TavrinPlatform::ListView* view = list(listName);
    if (!view->isEnabled()) {
        say(view->objectName() + " is disabled: nothing happens");
        return;
    }
    if (row == "none") {
        view->clearSelection();
        const QRect area = view->viewport()->rect();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, QPoint(area.width() / 2, area.height() - 2));
        return;
    }
    TavrinPlatform::ListItem* item = view->findItem(row);
    for (int i = 0; item == nullptr && i < view->rowCount(); ++i) {
        if (view->row(i)->text(0) == row) item = view->row(i);
    }
    if (item == nullptr) fail("no row '" + row + "' in " + view->objectName());
    view->scrollToItem(item);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualItemRect(item).center());
}

void Runner::clickHeader(const QString& listName, const QString& column)
{
    TavrinPlatform::ListView* view = list(listName);
    const int index = count(column);
    if (index >= view->columnCount()) fail(view->objectName() + " has no column " + column);
    QHeaderView* header = view->header();
    const QPoint at(header->sectionViewportPosition(index) + header->sectionSize(index) / 2, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
}

void Runner::option(const Words& w)
{
    const QString& which = w[0];
    const auto& options = formOf(*control_).OptionPerm;
    QRadioButton* chosen = nullptr;
    // The built-in English caption names an option in every language, as does the one shown.
    static const char* const kBuiltIn[] = {"None", "Monitor Status", "Tester present P2P"};
    for (int i = 0; i < 3; ++i) {
        if (which == QString::number(i) || which == options[i]->text() || which == QLatin1String(kBuiltIn[i]))
            chosen = options[i];
    }
    if (chosen == nullptr) fail("no option '" + which + "'");
    if (!chosen->isVisibleTo(control_.get())) {
        say("option '" + chosen->text() + "' is hidden: nothing happens");
        return;
    }
    QTest::mouseClick(chosen, Qt::LeftButton, {}, QPoint(6, chosen->height() / 2));
}

void Runner::monitor(const Words& w)
{
    const QString& onOff = w[0];
    if (onOff != "on" && onOff != "off") fail("monitor on or monitor off");
    QCheckBox* box = formOf(*control_).ckReadData;
    if (box->isChecked() == (onOff == "on")) return;
    if (!box->isEnabled()) {
        say("ckReadData is disabled: nothing happens");
        return;
    }
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
}

void Runner::set(const Words& w)
{
    const auto& f = formOf(*control_);
    TavrinDiagItem::DiagItemViewWrite* view = nullptr;
    QString value;
    if (w[0] == "session") {
        view = f.DiSessionName;
        value = w[1];
    } else if (w[0] == "param" && w.size() == 3) {
        for (int i = 1; i < f.DeviceParam.size(); ++i) {
            if (f.DeviceParam[i]->DataName() == w[1]) view = f.DeviceParam[i];
        }
        if (view == nullptr) fail("no parameter '" + w[1] + "'");
        value = w[2];
    } else {
        fail("set session VALUE or set param NAME VALUE");
    }
    if (!view->isVisibleTo(control_.get())) {
        say(view->objectName() + " is hidden: nothing happens");
        return;
    }
    if (!view->chooseValue(value))
        say("'" + value + "' refused: " + (view->toolTip().isEmpty() ? "not offered" : view->toolTip()));
}

namespace {

// The ECU acts on the request and its answer goes wrong this way.
std::optional<Sorvik3Sim::FaultDescription::Kind> spoiledAnswer(const QString& word)
{
    using Kind = Sorvik3Sim::FaultDescription::Kind;
    if (word == "lost") return Kind::Lost;
    if (word == "late") return Kind::Late;
    if (word == "cut") return Kind::Cut;
    if (word == "stale") return Kind::Stale;
    return std::nullopt;
}

}  // namespace

void Runner::fault(const Words& w)
{
    auto& faults = session_->faults();
    auto times = [this, &w](int index) {
        if (w.size() <= index || w[index] == "once") return 1;
        if (w[index] == "always") return Sorvik3Sim::FaultInjector::kAlways;
        const int n = count(w[index]);
        if (n == 0) fail("a fault holds once, N times or always");
        return n;
    };
    const QString kind = w[0];
    if (kind != "clear" && w.size() >= 2) {
        try {
            session_->behaviour(w[1].toStdString());
        } catch (const Sorvik3::Error&) {
            fail("no ECU '" + w[1] + "' in the vehicle");
        }
    }
    if (kind == "clear")
        faults.clear();
    else if (kind == "init" && w.size() >= 2)
        faults.failInit(w[1].toStdString(), times(2));
    else if (kind == "negative" && w.size() >= 4) {
        bool ok = false;
        const int code = w[3].toInt(&ok, 0);
        if (!ok || code < 1 || code > 255) fail("response code '" + w[3] + "' is not 1 to 255");
        faults.answerNegatively(w[1].toStdString(), w[2].toStdString(), static_cast<uint8_t>(code), times(4));
    } else if (kind == "noanswer" && w.size() >= 3) {
        faults.dropAnswer(w[1].toStdString(), w[2].toStdString(), times(3));
    } else if (const auto spoiled = spoiledAnswer(kind); spoiled && w.size() >= 3) {
        faults.spoilAnswer(w[1].toStdString(), w[2].toStdString(), *spoiled, times(3));
    } else {
        fail("fault init ECU [N], fault negative ECU REQUEST CODE [N], fault noanswer|lost|late|cut|stale ECU "
             "REQUEST [N] or fault clear");
    }
}

void Runner::tick(int ticks, bool interruptible)
{
    const auto& f = formOf(*control_);
    for (int i = 0; i < ticks && !(interruptible && TavrinApps::endingSignal() != 0); ++i) {
        clock_.advance(step_);
        paceWithRealTime();
        // The animation timer keeps its own pace on the same clock.
        const auto pace = static_cast<uint32_t>(f.timRun->interval());
        while (f.timRun->isActive() && clock_.now() >= animationDue_) {
            control_->timRun_Timer();
            animationDue_ += pace;
        }
        if (!f.timRun->isActive()) animationDue_ = clock_.now() + pace;
        if (f.ioCtlTimer->isActive()) control_->ioCtlTimer_Timer();
        if (options_.show) {
            // Let the window paint, but keep the real timers from ticking on their own.
            const QSignalBlocker sequence(f.ioCtlTimer);
            const QSignalBlocker animation(f.timRun);
            f.runLog->flush();
            QApplication::processEvents();
        }
    }
}

void Runner::wait(uint32_t ms)
{
    tick(static_cast<int>(std::max<uint32_t>(1, ms / step_)));
}

void Runner::untilIdle(const Words& words)
{
    Words w = words;
    if (w.size() > 1 && w[1] == "within") w.removeAt(1);
    if (w[0] != "idle" || w.size() > 3) fail("until idle [within LIMIT [ms|s|min]]");
    const uint32_t limit = w.size() > 1 ? duration(w, 1) : 60000u;
    uint32_t waited = 0;
    while (formOf(*control_).ioCtlTimer->isActive() && waited < limit) {
        tick(1);
        waited += step_;
    }
    if (formOf(*control_).ioCtlTimer->isActive()) {
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
    session_->setClock(Sorvik3Sim::SimClock{now, Sorvik3Sim::SimClock::system().sleep});
}

}  // namespace Scenario
