// What the runner prints and compares: everything the control shows.
#include "Runner.h"

#include "ClassicType.h"

#include "SimulatedEcu.h"
#include "SimulatedVehicle.h"
#include <map>

#include <QGroupBox>

namespace Scenario {
namespace {

const char* const kDriveWidgets[] = {"cbStartTempo", "cbStartPerm", "CbStop",     "cbEstop",
                                     "OptionPerm0",  "OptionPerm1", "OptionPerm2"};

QString yesNo(bool value)
{
    return value ? QStringLiteral("yes") : QStringLiteral("no");
}

QString ledColour(const TavrinPlatform::StatusPanel* led)
{
    const QImage image = led->pixmap().toImage();
    if (image.isNull()) return QStringLiteral("none");
    const QColor centre = image.pixelColor(10, 10);
    if (centre.red() > 2 * centre.green()) return QStringLiteral("red");
    return centre.red() > centre.green() ? QStringLiteral("amber") : QStringLiteral("green");
}

QString captionOf(const QWidget* w)
{
    if (auto* frame = qobject_cast<const QGroupBox*>(w)) return frame->title();
    if (auto* button = qobject_cast<const QAbstractButton*>(w)) return button->text();
    if (auto* label = qobject_cast<const QLabel*>(w)) return label->text();
    if (auto* item = qobject_cast<const TavrinDiagItem::DiagItemViewWrite*>(w)) return item->Caption();
    return {};
}

}  // namespace

QString Runner::rowText(const TavrinPlatform::ListView* view, int row) const
{
    QStringList cells;
    for (int c = 0; c < view->columnCount(); ++c)
        cells << view->row(row)->text(c);
    return cells.join(QStringLiteral(" | "));
}

void Runner::printLog(const Words& w)
{
    const auto& reporting = reportingWidgetsOf(*control_);
    const auto& lines = reporting.runLog->lines();
    const bool cleared = lines.clears() != printedClears_;
    const qsizetype from = w.size() > 1 && w[1] == "new" && !cleared ? printedLines_ : 0;
    for (qsizetype i = from; i < lines.lineCount(); ++i)
        say(lines.line(i));
    printedLines_ = lines.lineCount();
    printedClears_ = lines.clears();
}

void Runner::printStatus(const Words&)
{
    const auto& reporting = reportingWidgetsOf(*control_);
    const auto* msg = reporting.sbMain->panel("MSG");
    say("MSG: " + msg->text());
    say("MSG tag: " + QString::number(msg->tag.toInt()) + ", tip: " + msg->toolTip());
    say("VERSION: " + reporting.sbMain->panel("VERSION")->text() +
        ", DIAG: " + reporting.sbMain->panel("DIAG")->text() + ", Led: " + ledColour(reporting.sbMain->panel("Led")));
}

void Runner::printList(const Words& w)
{
    if (w.size() < 2) fail("print list functions|devices|data|status");
    const auto* view = list(w[1]);
    QStringList headers;
    for (int c = 0; c < view->columnCount(); ++c)
        headers << view->headerItem()->text(c);
    say("[" + headers.join(" | ") + "]");
    for (int r = 0; r < view->rowCount(); ++r)
        say(rowText(view, r));
}

void Runner::printButtons(const Words&)
{
    for (const char* name : kDriveWidgets) {
        const QWidget* button = widget(QString::fromLatin1(name));
        say(QString::fromLatin1(name) + ": " + (button->isVisibleTo(control_.get()) ? "visible" : "hidden") +
            (button->isEnabled() ? "" : ", disabled"));
    }
}

void Runner::printParams(const Words&)
{
    const auto& lists = catalogueWidgetsOf(*control_);
    const auto* s = lists.DiSessionName;
    say("DiSessionName: " + (s->isVisibleTo(control_.get())
                                 ? "'" + s->Caption() + "' label " + QString::number(s->LabelWidth()) + " = " +
                                       s->valueText() + ", writable " + yesNo(s->WriteEnabled())
                                 : QStringLiteral("hidden")));
    for (int i = 1; i < lists.DeviceParam.size(); ++i) {
        const auto* p = lists.DeviceParam[i];
        const QString unit = p->unitText().isEmpty() ? QString() : " " + p->unitText();
        say(QStringLiteral("DeviceParam(%1): '%2' label %3 = %4%5, writable %6")
                .arg(i)
                .arg(p->Caption())
                .arg(p->LabelWidth())
                .arg(p->valueText(), unit, yesNo(p->WriteEnabled())));
    }
}

void Runner::printState(const Words&)
{
    const auto& drive = sequencerWidgetsOf(*control_);
    const auto& fields = fieldsOf(*control_);
    say(actual({"state"}) + ", busy " + actual({"busy"}) + ", time " + drive.lbTime->text() +
        (fields.AbortRequested ? ", aborted" : ""));
}

void Runner::printCaptions(const Words&)
{
    const auto& lists = catalogueWidgetsOf(*control_);
    for (QObject* control : translatedControlsOf(*control_)) {
        auto* w2 = qobject_cast<QWidget*>(control);
        const QString type = TavrinPlatform::classicType(control);
        if (w2 == nullptr || (type != "Frame" && type != "CommandButton" && type != "CheckBox" &&
                              type != "OptionButton" && type != "Label")) {
            continue;
        }
        const int index = TavrinPlatform::arrayIndex(control);
        const QString name = control->objectName() + (index >= 0 ? QString::number(index) : QString());
        say(name + ": '" + captionOf(w2) + "'" + (w2->toolTip().isEmpty() ? "" : " tip '" + w2->toolTip() + "'"));
    }
    for (const auto* view : {lists.lvFunctions, lists.lvDevices, lists.lvData, lists.lvStatus}) {
        QStringList headers;
        for (int c = 0; c < view->columnCount(); ++c)
            headers << view->headerItem()->text(c);
        say(view->objectName() + ": [" + headers.join(" | ") + "]");
    }
}

void Runner::printGeometry(const Words& w)
{
    for (int i = 1; i < w.size(); ++i) {
        const QWidget* target = widget(w[i]);
        if (target == nullptr) fail("no widget '" + w[i] + "'");
        const QRect r = target->geometry();
        say(QStringLiteral("%1: left %2 top %3 width %4 height %5")
                .arg(w[i])
                .arg(r.x() * 15)
                .arg(r.y() * 15)
                .arg(r.width() * 15)
                .arg(r.height() * 15));
    }
}

void Runner::printErrors(const Words&)
{
    QStringList codes;
    for (qint32 code : errors_)
        codes << QString::number(code);
    say("ErrorMsg: " + (codes.isEmpty() ? QStringLiteral("none") : codes.join(", ")));
}

void Runner::print(const Words& w)
{
    static const std::map<QString, void (Runner::*)(const Words&)> printers = {
        {"log", &Runner::printLog},           {"status", &Runner::printStatus},
        {"list", &Runner::printList},         {"buttons", &Runner::printButtons},
        {"params", &Runner::printParams},     {"state", &Runner::printState},
        {"captions", &Runner::printCaptions}, {"geometry", &Runner::printGeometry},
        {"errors", &Runner::printErrors},     {"vehicle", &Runner::printVehicleCommand}};
    const auto printer = printers.find(w[0]);
    if (printer == printers.end())
        fail("print log [new], status, list NAME, buttons, params, state, captions, geometry NAME..., errors, "
             "vehicle");
    (this->*printer->second)(w);
}

void Runner::printVehicleCommand(const Words&)
{
    printVehicle();
}

// What each simulated ECU itself holds: open communication and driven devices.
void Runner::printVehicle()
{
    for (const auto& ecu : session_->vehicle().ecus) {
        auto& behaviour = TavrinKwp::simulatedVehicle(*session_).behaviour(ecu.name);
        QStringList driven;
        for (const auto& device : behaviour.deviceNames()) {
            const auto drive = behaviour.deviceDrive(device, clock_.now());
            if (drive == TavrinKwp::SimulatedEcu::Drive::None) continue;
            driven << QString::fromStdString(device) +
                          (drive == TavrinKwp::SimulatedEcu::Drive::Temporary ? " (temporary)" : " (permanent)");
        }
        say(QString::fromStdString(ecu.name) + ": communication " +
            (session_->communicationOpen(ecu.name) ? "open" : "closed") + ", driving " +
            (driven.isEmpty() ? QStringLiteral("nothing") : driven.join(", ")));
    }
}

QString Runner::drivenByEcu(const Words& w)
{
    if (w.size() != 3) fail("expect driven ECU DEVICE yes|no");
    try {
        auto& behaviour = TavrinKwp::simulatedVehicle(*session_).behaviour(w[1].toStdString());
        const auto names = behaviour.deviceNames();
        if (std::find(names.begin(), names.end(), w[2].toStdString()) == names.end())
            fail("ECU '" + w[1] + "' has no device '" + w[2] + "'");
        return yesNo(behaviour.deviceRunning(w[2].toStdString(), clock_.now()));
    } catch (const Sorvik3::Error& error) {
        fail(QString::fromStdString(error.description()));
    }
}

QString Runner::actual(const Words& w)
{
    const auto& drive = sequencerWidgetsOf(*control_);
    const auto& reporting = reportingWidgetsOf(*control_);
    const auto& run = runStateOf(*control_);
    const QString what = w[0];
    if (what == "state") {
        return TavrinIoCtl::stateName(run.CurrentState);
    }
    if (what == "busy") return control_->Busy() ? "true" : "false";
    if (what == "time") return drive.lbTime->text();
    if (what == "msg") return reporting.sbMain->panel("MSG")->text();
    if (what == "tag") return QString::number(reporting.sbMain->panel("MSG")->tag.toInt());
    if (what == "diag") return reporting.sbMain->panel("DIAG")->text();
    if (what == "version") return reporting.sbMain->panel("VERSION")->text();
    if (what == "led") return ledColour(reporting.sbMain->panel("Led"));
    if (what == "monitor") return drive.ckReadData->isChecked() ? "on" : "off";
    if (what == "errors") {
        QStringList codes;
        for (qint32 code : errors_)
            codes << QString::number(code);
        return codes.join(' ');
    }
    if (what == "log" && w.size() > 1 && w[1] == "count") return QString::number(reporting.runLog->lines().lineCount());
    if (what == "log" && w.size() > 1 && w[1] == "last") {
        const auto& lines = reporting.runLog->lines();
        return lines.lineCount() ? lines.line(lines.lineCount() - 1) : QString();
    }
    if ((what == "visible" || what == "enabled" || what == "caption") && w.size() > 1) {
        const QWidget* target = widget(w[1]);
        if (target == nullptr) fail("no widget '" + w[1] + "'");
        if (what == "visible") return yesNo(target->isVisibleTo(control_.get()));
        if (what == "enabled") return yesNo(target->isEnabled());
        return captionOf(target);
    }
    if (what == "row" && w.size() > 2) {
        const auto* view = list(w[1]);
        const int row = count(w[2]);
        return row < view->rowCount() ? rowText(view, row) : QStringLiteral("(no row)");
    }
    if (what == "rows" && w.size() > 1) return QString::number(list(w[1])->rowCount());
    if (what == "driven") return drivenByEcu(w);
    if (what == "may-be-driven") {
        const QStringList devices = control_->DrivenDevices();
        return devices.isEmpty() ? QStringLiteral("nothing") : devices.join(", ");
    }
    fail("cannot expect '" + w.join(' ') + "'");
}

void Runner::expect(const Words& w)
{
    Expectation expectation{currentLine_, currentText_, {}};
    if (w[0] == "log" && w.size() == 3 && w[1] == "has") {
        const auto& lines = reportingWidgetsOf(*control_).runLog->lines();
        bool found = false;
        for (qsizetype i = 0; i < lines.lineCount() && !found; ++i)
            found = lines.line(i) == w[2];
        if (!found) expectation.failure = "no log line reads \"" + w[2] + "\"";
    } else {
        const Words subject = w.mid(0, w.size() - 1);
        const QString wanted = w.back();
        const QString got = actual(subject);
        if (got != wanted) expectation.failure = "expected \"" + wanted + "\", got \"" + got + "\"";
    }
    if (!expectation.failure.isEmpty()) say("FAILED: " + expectation.failure);
    expectations_.push_back(expectation);
}

}  // namespace Scenario
