// Places every frame, list and button whenever the control is resized: two rows
// of frames filling the surface above the status bar, computed in twips.
#pragma once

#include "Catalogue.h"
#include "ControlContext.h"
#include "WindowWidgets.h"

namespace TavrinIoCtl {

// The parameter panel is laid out again by the catalogue, which owns it.
void layoutControl(const WindowWidgets& window, const Platform& platform, Catalogue& catalogue, QSize surfacePixels);

// The smallest surface in which Stop and the emergency stop are whole and the run
// log still shows a few lines: the control's minimum size hint.
QSize minimumControlSize(const WindowWidgets& window, const TavrinPlatform::TwipsScale& scale);

}  // namespace TavrinIoCtl
