#!/usr/bin/env bash
# Installs the build into a fresh prefix, runs the installed programs from
# there (they must find their libraries and data beside them, nothing of the
# source or build tree), and builds three hosts against the package: one with
# the control alone (which must need neither Qt Serial Port, Qt Serial Bus nor
# libxml2), one with the KWP2000 session library alone (which must reach a real
# line without the simulated vehicle's libraries), and the Designer example
# exactly as its folder stands (on the simulated vehicle).
set -euo pipefail
build=$1 source=$2 scratch=$3 example=$4 designer_host=$5 control_only=$6
rm -rf "$scratch"
prefix=$scratch/prefix
cmake --install "$build" --prefix "$prefix" > /dev/null
export QT_QPA_PLATFORM=offscreen
"$prefix/bin/tavrin-demo" --latency 0 --screenshot "$scratch/demo.png" > /dev/null
test -s "$scratch/demo.png"
cp "$example" "$scratch/example.ioc"
"$prefix/bin/ioctl-script" "$scratch/example.ioc" > /dev/null
"$prefix/bin/vehicle-info" --check > /dev/null
# The Designer plugin is installed where Designer looks below the prefix.
ls "$prefix"/lib*/qt6/plugins/designer/libtavrinDesignerPlugin.so > /dev/null 2>&1 ||
  ls "$prefix"/lib/*/qt6/plugins/designer/libtavrinDesignerPlugin.so > /dev/null
# Hosts include <TavrinIoCtl/...>, <TavrinKwpSession/...> and <TavrinKwpSimulation/...>, nothing of the inside.
test -f "$prefix/include/TavrinIoCtl/ioctl.h" && test -f "$prefix/include/TavrinKwpSession/KwpSession.h"
test -f "$prefix/include/TavrinKwpSimulation/SimulatedVehicle.h"
# Installed headers name their neighbours' folder: a host's include path is PREFIX/include alone.
if grep -rn '^#include "' "$prefix/include"; then
  echo "FAILED: an installed header includes a neighbour without its folder"
  exit 1
fi
test ! -e "$prefix/include/TavrinIoCtl/XmlDocument.h" && test ! -e "$prefix/include/TavrinKwpSession/ServingLoop.h"
cmake -S "$control_only" -B "$scratch/control-only" -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_DISABLE_FIND_PACKAGE_LibXml2=ON \
  -DCMAKE_DISABLE_FIND_PACKAGE_Qt6SerialPort=ON -DCMAKE_DISABLE_FIND_PACKAGE_Qt6SerialBus=ON > /dev/null
cmake --build "$scratch/control-only" > /dev/null
"$scratch/control-only/control-only" | grep -q "control ok"
cmake -S "$source" -B "$scratch/consumer" -DCMAKE_PREFIX_PATH="$prefix" > /dev/null
cmake --build "$scratch/consumer" > /dev/null
if grep -qE 'tavrinSimLinks|tavrinEcuSim' "$scratch/consumer/CMakeFiles/consumer.dir/link.txt"; then
  echo "FAILED: a host of the session library alone links the simulated vehicle"
  exit 1
fi
cmake -S "$designer_host" -B "$scratch/designer-host" -DCMAKE_PREFIX_PATH="$prefix" > /dev/null
cmake --build "$scratch/designer-host" > /dev/null
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$scratch/designer-host/designer-host" "$scratch/host.png" > /dev/null
test -s "$scratch/host.png"
# Last: the test passes on its "package ok", whatever status came before.
"$scratch/consumer/consumer"
