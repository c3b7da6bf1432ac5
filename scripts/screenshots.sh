#!/usr/bin/env bash
# Rebuilds docs/screenshots/: runs the tests that save screenshots, under a 1600x900 virtual screen.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
export TALVEX_SCREENSHOT_DIR="$(pwd)/docs/screenshots"
mkdir -p "$TALVEX_SCREENSHOT_DIR"
cd build
QTWEBENGINE_DISABLE_SANDBOX=1 xvfb-run -a -s "-screen 0 1600x900x24" ctest --output-on-failure
