#!/bin/sh
# Redraws the stand-in images of the user interface into resources/images/ with the drawing
# tool tools/k27-imagegen (Qt only, no other packages), and the program icon into
# resources/icons/hicolor/. Commit the changed files afterwards.
# Usage: resources/generate-images.sh [build folder, default: build]
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build "$build" --target k27-imagegen
QT_QPA_PLATFORM=offscreen "$build/tools/k27-imagegen/k27-imagegen" "$root/resources/images" \
    "$root/resources/icons"
