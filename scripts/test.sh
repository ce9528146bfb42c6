#!/usr/bin/env bash
# Installs what the project needs, then builds and runs every test twice: a
# release build with warnings as errors, and a debug build under
# AddressSanitizer and UndefinedBehaviorSanitizer. Among the tests is a screenshot
# of the window under Xvfb: build/release/tests/app/brenvik-shorturl.png.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen

echo "== release build"
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBRENVIK_WERROR=ON
cmake --build build/release -j "$jobs"
ctest --test-dir build/release --output-on-failure -j "$jobs"

echo "== sanitizer build"
cmake -S . -B build/sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DBRENVIK_WERROR=ON \
      -DBRENVIK_SANITIZE=ON -DBRENVIK_BUILD_BENCHMARKS=OFF
cmake --build build/sanitize -j "$jobs"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp:print_suppressions=0
ctest --test-dir build/sanitize --output-on-failure -j "$jobs"
