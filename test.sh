#!/usr/bin/env bash
# Installs what is missing, builds everything with warnings as errors, and runs every
# test twice: in the normal build and in the AddressSanitizer + UBSan build.
set -euo pipefail
top="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
cd "$top"
scripts/install-deps.sh test

jobs=$(nproc)
configure() {  # folder, extra options...
  local folder=$1
  shift
  # Tests and window on: a build folder that ./vorax.sh made has them off.
  cmake -S . -B "$folder" -G Ninja -DVORAX_WERROR=ON -DVORAX_BUILD_TESTS=ON -DVORAX_BUILD_GUI=ON \
    "$@" >/dev/null
}

configure build -DCMAKE_BUILD_TYPE=Release
cmake --build build -j "$jobs"
configure build-asan -DCMAKE_BUILD_TYPE=Debug -DVORAX_SANITIZE=ON -DVORAX_BUILD_BENCHMARKS=OFF
cmake --build build-asan -j "$jobs"

# Window tests run on Qt's offscreen platform: no display is needed.
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

echo "== tests (release build)"
ctest --test-dir build --output-on-failure -j "$jobs"
echo "== tests (sanitizer build)"
ctest --test-dir build-asan --output-on-failure -j "$jobs"
