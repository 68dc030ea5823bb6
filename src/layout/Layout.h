// Places every frame, list and button whenever the control is resized: two rows
// of frames filling the surface above the status bar, computed in twips.
#pragma once

#include "Catalogue.h"
#include "ControlContext.h"

namespace TavrinIoCtl {

void layoutControl(ControlContext& control, Catalogue& catalogue, QSize surfacePixels);

}  // namespace TavrinIoCtl
