// What the reporting shows: the run log, the status bar and the busy LED. The
// reporting owns them; others write through it.
#pragma once

#include "PictureBox.h"
#include "RunLogView.h"
#include "StatusPanels.h"
#include "WindowFrames.h"

namespace TavrinIoCtl {

struct ReportingWidgets {
    TavrinPlatform::RunLogView* runLog = nullptr;
    TavrinPlatform::StatusPanels* sbMain = nullptr;
    TavrinPlatform::PictureBox* picLed = nullptr;
    TavrinPlatform::ImageList* ilstLeds = nullptr;

    // The widgets a translation walks, in creation order.
    QList<QObject*> translated;
};

// The run log in the communication frame, the LED and the status bar on the surface.
void buildReportingWidgets(QWidget* surface, const WindowFrames& frames, ReportingWidgets& widgets,
                           const TavrinPlatform::TwipsScale& scale);

}  // namespace TavrinIoCtl
