#!/usr/bin/env bash
# Sets everything up, then runs every test under a virtual X server, and the tests labelled
# "mainwindow" (the main-window tests) and "screens" (texts that must fit) again under two
# smaller screens.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
bash scripts/setup.sh
cd build
QTWEBENGINE_DISABLE_SANDBOX=1 bash "$root/scripts/xvfb.sh" -s "-screen 0 1920x1080x24" \
    ctest --output-on-failure -j"$(nproc)" --timeout 600
# the main window and the texts that must fit, once more on the commonest laptop and office
# screens
for screen in 1366x768 1280x1024; do
    QTWEBENGINE_DISABLE_SANDBOX=1 bash "$root/scripts/xvfb.sh" -s "-screen 0 ${screen}x24" \
        ctest --output-on-failure -j"$(nproc)" --timeout 600 -L 'mainwindow|screens'
done
