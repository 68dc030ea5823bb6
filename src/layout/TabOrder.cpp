#include "TabOrder.h"

namespace TavrinIoCtl {

void orderTabs(const WindowWidgets& window)
{
    const auto& c = window.catalogue;
    const auto& s = window.sequencer;
    QList<QWidget*> chain{c.lvFunctions, c.lvDevices};
    for (qsizetype i = 1; i < c.DeviceParam.size(); ++i)
        chain << c.DeviceParam[i]->editor();
    chain << c.DiSessionName->editor() << s.cbStartTempo << s.cbStartPerm << s.OptionPerm[0] << s.OptionPerm[1]
          << s.OptionPerm[2] << s.CbStop << s.cbEstop << s.ckReadData << s.cbReadData << c.lvData << c.lvStatus
          << window.report.runLog;
    for (qsizetype i = 1; i < chain.size(); ++i)
        QWidget::setTabOrder(chain[i - 1], chain[i]);
}

}  // namespace TavrinIoCtl
