// The control's reactions to its widgets' clicks and to its timers, reached as
// its widgets reach them: for the tests and the scenario runner, which drive
// the control without a mouse. Not installed: a host clicks the buttons.
#pragma once

#include "ioctl.h"

namespace TavrinIoCtl {

class Events {
  public:
    explicit Events(ioctl& control) : control_(control) {}

    void lvFunctions_ItemClick(QTreeWidgetItem* item) { control_.lvFunctions_ItemClick(item); }
    void lvDevices_Click() { control_.lvDevices_Click(); }
    void lvFunctions_ColumnClick(int column) { control_.lvFunctions_ColumnClick(column); }
    void lvDevices_ColumnClick(int column) { control_.lvDevices_ColumnClick(column); }
    void sbMain_PanelClick(const QString& key) { control_.sbMain_PanelClick(key); }
    void cbStartTempo_Click() { control_.cbStartTempo_Click(); }
    void cbStartPerm_Click() { control_.cbStartPerm_Click(); }
    void CbStop_Click() { control_.CbStop_Click(); }
    void cbEstop_Click() { control_.cbEstop_Click(); }
    void cbReadData_Click() { control_.cbReadData_Click(); }
    void ioCtlTimer_Timer() { control_.ioCtlTimer_Timer(); }
    void timRun_Timer() { control_.timRun_Timer(); }
    void ParamVScroll_Change(int value) { control_.ParamVScroll_Change(value); }
    void UserControl_Resize() { control_.UserControl_Resize(); }

  private:
    ioctl& control_;
};

}  // namespace TavrinIoCtl
