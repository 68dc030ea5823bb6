// Every picture the control shows, drawn in code at start-up: no image files.
#pragma once

#include <QColor>
#include <QPixmap>

namespace TavrinPlatform::Pictures {

QPixmap led(const QColor& colour);
// Frame 0 to 3 of the running animation: a wheel turning by a quarter step.
QPixmap runningFrame(int frame);
QPixmap stopSign();
QPixmap emergencyStop();

}  // namespace TavrinPlatform::Pictures
