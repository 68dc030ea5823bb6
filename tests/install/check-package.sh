#!/usr/bin/env bash
# Installs the build into a fresh prefix, runs the installed programs from
# there (they must find their libraries and data beside them, nothing of the
# source or build tree), and builds two hosts against the package: a small one
# and the Designer example exactly as its folder stands.
set -euo pipefail
build=$1 source=$2 scratch=$3 example=$4 designer_host=$5
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
cmake -S "$source" -B "$scratch/consumer" -DCMAKE_PREFIX_PATH="$prefix" > /dev/null
cmake --build "$scratch/consumer" > /dev/null
cmake -S "$designer_host" -B "$scratch/designer-host" -DCMAKE_PREFIX_PATH="$prefix" > /dev/null
cmake --build "$scratch/designer-host" > /dev/null
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$scratch/designer-host/designer-host" "$scratch/host.png" > /dev/null
test -s "$scratch/host.png"
# Last: the test passes on its "package ok", whatever status came before.
"$scratch/consumer/consumer"
