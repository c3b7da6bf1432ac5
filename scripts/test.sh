#!/usr/bin/env bash
# Sets everything up, then runs every test under a virtual X server.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cd build
QTWEBENGINE_DISABLE_SANDBOX=1 xvfb-run -a -s "-screen 0 1920x1080x24" \
    ctest --output-on-failure -j"$(nproc)" --timeout 600
