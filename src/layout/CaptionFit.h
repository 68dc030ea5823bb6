// Translated captions are longer than the design's: the buttons, the check box
// and the options of a row grow to show their whole caption, keeping their
// gaps, as far as their frame allows. A caption that still does not fit is
// given whole in the widget's tool tip. The stop buttons are never cut.
#pragma once

#include "WindowWidgets.h"

namespace TavrinIoCtl {

void fitCaptions(const WindowWidgets& window);

// The narrowest FrComm in which Stop and the emergency stop are both whole.
int stopRowMinimumWidth(const WindowWidgets& window);

}  // namespace TavrinIoCtl
