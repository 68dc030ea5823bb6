// The control's inside, Qt's private-header way: its parts, and its reactions
// to its widgets' clicks and to its timers, named after their widget and event.
// Not installed: the tests, the scenario runner and the tools, which link the
// control statically, reach it through ioctlPrivate::of(control); a host uses
// ioctl.h alone.
#pragma once

#include "Catalogue.h"
#include "ControlContext.h"
#include "ControlFields.h"
#include "DriveActions.h"
#include "MultiLanguage.h"
#include "Reporting.h"
#include "Sequencer.h"
#include "WindowWidgets.h"
#include "ioctl.h"

class QTreeWidgetItem;

namespace TavrinIoCtl {

class ioctlPrivate {
  public:
    explicit ioctlPrivate(ioctl& control) : q(control) {}
    ioctlPrivate(const ioctlPrivate&) = delete;
    ioctlPrivate& operator=(const ioctlPrivate&) = delete;

    static ioctlPrivate& of(ioctl& control) { return *control.d_; }
    static const ioctlPrivate& of(const ioctl& control) { return *control.d_; }

    // Each reports whatever fails and never throws.
    void lvFunctions_ItemClick(QTreeWidgetItem* item);
    void lvDevices_Click();
    void lvFunctions_ColumnClick(int column);
    void lvDevices_ColumnClick(int column);
    void sbMain_PanelClick(const QString& key);
    void cbStartTempo_Click();
    void cbStartPerm_Click();
    void CbStop_Click();
    void cbEstop_Click();
    void cbReadData_Click();
    void ioCtlTimer_Timer();
    void timRun_Timer();
    void ParamVScroll_Change(int value);
    void UserControl_Resize();
    // F7 or the host after a failed stop: what may still be driven is stopped again.
    void stopDrivenDevices();

    // The session's line is watched while the control holds it: a line that goes
    // away between requests is told on the control's thread (the former session's
    // watch ends first).
    void watchLine(const Sorvik3::SessionRef& former);

    // The widgets' signals and the timers to the reactions above.
    void connectEvents();
    // Throws SequenceRunning while a sequence runs or a request is on the line.
    void refuseWhileRunning(const char* call) const;
    void initialise(const QString& szInstallServer, const QString& szUserInterfaceLanguage,
                    Sorvik3::SessionRef aDiagSession);

    // The frames, then each part's widgets inside them, at the screen's scale.
    void buildWindow();
    // Every part's widgets, for the layout and the Tab order.
    WindowWidgets window() const { return {frames, catalogue.widgets(), sequencer.widgets(), report.widgets()}; }
    // What a translation walks: the frames, then each part's widgets in creation order.
    QList<QObject*> translatedControls() const;

    ioctl& q;
    multilanguage::Language language;
    WindowFrames frames;
    ControlFields fields;
    Platform platform;
    Reporting report{fields};
    ControlContext context{fields, report, platform};
    Catalogue catalogue{context, language};
    Sequencer sequencer{context, catalogue};
    DriveActions* driveActions = nullptr;  // a child of the control, made with the connections
};

// The reactions as the widgets reach them: Events(control).cbEstop_Click().
inline ioctlPrivate& Events(ioctl& control)
{
    return ioctlPrivate::of(control);
}

}  // namespace TavrinIoCtl
