#!/usr/bin/env bash
# Builds the network tests with ThreadSanitizer in build-tsan/ and runs those that drive the curl
# worker thread. A race report fails the test that hit it. Not part of CI: a TSan build of the
# tests takes long, and Qt itself is not instrumented (see scripts/tsan.supp).
# Accesses made inside Qt's libraries (memcpy, malloc, free called by Qt) are not checked: TSan
# sees no synchronisation there, and Qt's own threads (D-Bus, bearer, QtTest's watchdog, Qt's
# HTTP thread) would otherwise fill the report with Qt's internals. Every access the project's
# code makes is checked.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
tests=(tst_curlaccessmanager tst_curlguards tst_replysignals tst_filedownload tst_dropbox
    tst_youtubewrapper)

flags="-O1 -g -fno-omit-frame-pointer -fsanitize=thread"
cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=None -DTALVEX_BUILD_BENCH=OFF \
    -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=thread"
cmake --build build-tsan -j"${JOBS:-$(nproc)}" --target "${tests[@]}"

export TSAN_OPTIONS="halt_on_error=1:exitcode=66:ignore_noninstrumented_modules=1:suppressions=$root/scripts/tsan.supp"
cd build-tsan
regex="^($(IFS='|'; echo "${tests[*]}"))\$"
QTWEBENGINE_DISABLE_SANDBOX=1 bash "$root/scripts/xvfb.sh" -s "-screen 0 1920x1080x24" \
    ctest --output-on-failure -j"${JOBS:-$(nproc)}" --timeout 900 -R "$regex"
