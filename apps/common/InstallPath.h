// Where the programs find their data (lang/ioctl.xml, vehicles/): beside their
// own installation, in the same place relative to the program in the build
// tree and in an installed prefix. No path of the source tree is built in.
#pragma once

#include <QString>

#include <string>
#include <vector>

namespace TavrinApps {

QString defaultInstallPath();

// The folders SecurityAccess key plug-ins are loaded from: those the user named
// (--key-plugins, made absolute), else those of TAVRIN_KEY_PLUGINS (absolute,
// separated by ':'), else the programs' own (the shipped example's).
std::vector<std::string> keyPluginFolders(const QStringList& named);

}  // namespace TavrinApps
