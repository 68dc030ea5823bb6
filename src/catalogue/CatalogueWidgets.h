// The catalogue's widgets: the ECU, device, data and status lists, the parameter
// panel and the session choice. The catalogue owns them; others reach them
// through it.
#pragma once

#include "DiagItemViewWrite.h"
#include "ListView.h"
#include "PictureBox.h"
#include "WindowFrames.h"

#include <QScrollBar>

namespace TavrinIoCtl {

using TavrinDiagItem::DiagItemViewWrite;
using TavrinPlatform::ListView;
using TavrinPlatform::PictureBox;

struct CatalogueWidgets {
    ListView* lvFunctions = nullptr;
    ListView* lvDevices = nullptr;
    ListView* lvData = nullptr;
    ListView* lvStatus = nullptr;

    PictureBox* PFondPicture = nullptr;
    PictureBox* ParamPicture = nullptr;
    QScrollBar* ParamVScroll = nullptr;
    QList<DiagItemViewWrite*> DeviceParam;  // element 0 is the hidden template
    DiagItemViewWrite* DiSessionName = nullptr;

    // The widgets a translation walks: in creation order, then the parameter views shown.
    QList<QObject*> translated;
};

void buildCatalogueWidgets(const WindowFrames& frames, CatalogueWidgets& widgets,
                           const TavrinPlatform::TwipsScale& scale);

}  // namespace TavrinIoCtl
