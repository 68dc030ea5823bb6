// The commands that act on the control's widgets as a user would: clicks on
// buttons, rows and headers, options, monitoring, parameter values, the window's
// size and its pictures.
#include "Runner.h"

#include "DemoVehicle.h"
#include "EndingSignals.h"
#include "FaultInjector.h"
#include "LanguageCheck.h"
#include "SessionClock.h"
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
    const auto& drive = sequencerWidgetsOf(*control_);
    const auto& lists = catalogueWidgetsOf(*control_);
    if (name.startsWith("OptionPerm")) return drive.OptionPerm[arrayIndex(name, "OptionPerm", 3)];
    if (name.startsWith("DeviceParam"))
        return lists.DeviceParam[arrayIndex(name, "DeviceParam", int(lists.DeviceParam.size()))];
    for (const auto& [word, object] : kButtons) {
        if (name == word) return control_->findChild<QWidget*>(object);
    }
    return control_->findChild<QWidget*>(name);
}

TavrinPlatform::ListView* Runner::list(const QString& name) const
{
    const auto& lists = catalogueWidgetsOf(*control_);
    if (name == "functions") return lists.lvFunctions;
    if (name == "devices") return lists.lvDevices;
    if (name == "data") return lists.lvData;
    if (name == "status") return lists.lvStatus;
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
        QTest::mouseClick(reportingWidgetsOf(*control_).sbMain->panel("MSG"), Qt::LeftButton);
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
    const auto& options = sequencerWidgetsOf(*control_).OptionPerm;
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
    QCheckBox* box = sequencerWidgetsOf(*control_).ckReadData;
    if (box->isChecked() == (onOff == "on")) return;
    if (!box->isEnabled()) {
        say("ckReadData is disabled: nothing happens");
        return;
    }
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
}

void Runner::set(const Words& w)
{
    const auto& lists = catalogueWidgetsOf(*control_);
    TavrinDiagItem::DiagItemViewWrite* view = nullptr;
    QString value;
    if (w[0] == "session") {
        view = lists.DiSessionName;
        value = w[1];
    } else if (w[0] == "param" && w.size() == 3) {
        for (int i = 1; i < lists.DeviceParam.size(); ++i) {
            if (lists.DeviceParam[i]->DataName() == w[1]) view = lists.DeviceParam[i];
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

void Runner::screenshot(const Words& w)
{
    const QString& file = w[0];
    if (w.size() > 1 && w[1] != "plot") fail("screenshot FILE [plot]");
    reportingWidgetsOf(*control_).runLog->flush();
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

void Runner::show(const Words&)
{
    reportingWidgetsOf(*control_).runLog->flush();
    QApplication::processEvents();
}

}  // namespace Scenario
