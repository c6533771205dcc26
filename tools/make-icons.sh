#!/usr/bin/env bash
# Draws the program's icons again into desktop/icons/ (committed, so that the
# program's own build needs no drawing step). Run after changing the picture.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
cmake --build "$build" --target vemar-icons
rm -rf desktop/icons
QT_QPA_PLATFORM=offscreen "$build/vemar-icons" desktop/icons
find desktop/icons -type f | sort
