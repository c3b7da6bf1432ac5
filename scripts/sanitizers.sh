#!/usr/bin/env bash
# Builds the tests with AddressSanitizer and UndefinedBehaviorSanitizer in build-asan/ and runs
# the whole suite with them under a virtual X server. Any error stops the test that hit it.
# Expects the packages of scripts/setup.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

# Libraries that a program unloads (Mesa's drivers, plugins) would leave their leaks without a
# name, so no suppression could match them: the test programs get a dlclose that keeps every
# library loaded.
mkdir -p build-asan
printf 'int dlclose(void *handle) { (void)handle; return 0; }\n' > build-asan/keeploaded.c
cc -c -fPIC -O1 build-asan/keeploaded.c -o build-asan/keeploaded.o

# -O1: the sanitized build is compiled from scratch on a fresh machine and must stay quick.
flags="-O1 -g -fno-omit-frame-pointer -fsanitize=address,undefined -fno-sanitize-recover=undefined"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=None -DTALVEX_BUILD_BENCH=OFF \
    -DCMAKE_CXX_FLAGS="$flags" \
    -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined -rdynamic $root/build-asan/keeploaded.o"
cmake --build build-asan -j"${JOBS:-$(nproc)}"

# Leaks are reported for project code only: the suppressions name Mesa, D-Bus and the media
# libraries, nothing of ours.
export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1:detect_stack_use_after_return=0:strict_string_checks=0"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
export LSAN_OPTIONS="suppressions=$root/.ci/lsan.supp:print_suppressions=0"
# No session bus to launch: a bus launcher forked by a sanitized program can hang on the
# allocator's lock that another thread held at the fork (each test also gets this from CTest).
export DBUS_SESSION_BUS_ADDRESS=unix:path=/dev/null/no-session-bus
cd build-asan
# LeakSanitizer's own tracer now and then dies at exit on a loaded machine ("Tracer caught
# signal 11", "LeakSanitizer has encountered a fatal error"): a test that fails is run once more.
QTWEBENGINE_DISABLE_SANDBOX=1 bash "$root/scripts/xvfb.sh" -s "-screen 0 1920x1080x24" \
    ctest --output-on-failure -j"${JOBS:-$(nproc)}" --timeout 900 --repeat until-pass:2
