// Where the programs find their data (lang/ioctl.xml, vehicles/): beside their
// own installation, in the same place relative to the program in the build
// tree and in an installed prefix. No path of the source tree is built in.
#pragma once

#include <QString>

namespace TavrinApps {

QString defaultInstallPath();

}  // namespace TavrinApps
