// Every part's widgets as the layout sees them: it places them and orders their
// Tab stops, and changes nothing else of them.
#pragma once

#include "CatalogueWidgets.h"
#include "ReportingWidgets.h"
#include "SequencerWidgets.h"
#include "WindowFrames.h"

namespace TavrinIoCtl {

struct WindowWidgets {
    const WindowFrames& frames;
    const CatalogueWidgets& catalogue;
    const SequencerWidgets& sequencer;
    const ReportingWidgets& report;
};

}  // namespace TavrinIoCtl
