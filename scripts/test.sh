#!/bin/sh
# Builds and runs every test twice: a normal build, then one with AddressSanitizer and
# UndefinedBehaviorSanitizer where any finding fails the run. Between the two, checks what an
# install gives a user (scripts/check_install.sh).
set -eu
cd "$(dirname "$0")/.."
scripts/setup.sh test
JOBS="${JOBS:-2}"

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=ON \
  -DVELTRO_BENCHMARKS=ON >/dev/null
cmake --build build -j"$JOBS"
ctest --test-dir build -j"$JOBS" --output-on-failure --timeout 300
scripts/check_install.sh build

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVELTRO_SANITIZE=ON >/dev/null
cmake --build build-asan -j"$JOBS"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
  ctest --test-dir build-asan -j"$JOBS" --output-on-failure --timeout 600
echo "all tests passed (normal and sanitizer builds)"
