#!/usr/bin/env bash
# Installs what is missing, builds everything with warnings as errors, and runs every
# test twice: in the normal build and in the AddressSanitizer + UBSan build. Where clang
# with libFuzzer is installed, it then runs each fuzz target for VORAX_FUZZ_SECONDS
# seconds (15 by default, 0 for none) in the sanitizer build of scripts/fuzz.sh.
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

# Whether clang++ links a libFuzzer target with the sanitizers.
fuzzing_compiler() {
  command -v clang++ >/dev/null || return 1
  local probe status=0
  probe="$(mktemp -d)"
  printf 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }\n' \
    >"$probe/probe.cpp"
  clang++ -fsanitize=fuzzer,address,undefined "$probe/probe.cpp" -o "$probe/probe" \
    >/dev/null 2>&1 || status=1
  rm -rf "$probe"
  return $status
}
fuzz_seconds=${VORAX_FUZZ_SECONDS:-15}
if [ "$fuzz_seconds" -gt 0 ]; then
  if fuzzing_compiler; then
    echo "== fuzz targets, ${fuzz_seconds} seconds each (sanitizer build, build-fuzz/)"
    scripts/fuzz.sh --jobs "$jobs" --fresh --time "$fuzz_seconds"
  else
    echo "note: no clang++ with libFuzzer: the fuzz targets do not run"
  fi
fi

