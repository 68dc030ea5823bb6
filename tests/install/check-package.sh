#!/usr/bin/env bash
# Installs the build into a scratch prefix and builds a host against the package.
set -euo pipefail
build=$1 source=$2 scratch=$3
rm -rf "$scratch"
cmake --install "$build" --prefix "$scratch/prefix" > /dev/null
cmake -S "$source" -B "$scratch/consumer" -DCMAKE_PREFIX_PATH="$scratch/prefix" > /dev/null
cmake --build "$scratch/consumer" > /dev/null
"$scratch/consumer/consumer"
