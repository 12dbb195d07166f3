#!/usr/bin/env bash
# Installs, with apt-get, the Debian packages a task needs that are missing. Safe to run
# repeatedly: it does nothing when everything is present.
#
#   scripts/install-deps.sh compiler     what ./vorax.sh needs: the command-line compiler
#                                        and the simulator, nothing else
#   scripts/install-deps.sh window       the compiler and the desktop window
#   scripts/install-deps.sh [test]       everything ./test.sh needs (the default)
#   scripts/install-deps.sh fuzz         what scripts/fuzz.sh needs (clang and libFuzzer)
#   scripts/install-deps.sh --list TASK  print the packages of TASK, install nothing
set -euo pipefail

# One line per need: the tasks that have it, "--", its packages. To add a dependency, add
# a line (or a package to the line of its need) naming every task that needs it.
needs=(
  # Building vorax and vorax-sim: C++20 and CMake with Ninja.
  "compiler window test -- cmake ninja-build g++"
  # The desktop window: Qt 6 Widgets and a font with the Japanese characters it shows.
  "window test -- qt6-base-dev fonts-noto-cjk"
  # The tests (GoogleTest), the benchmarks, and the window's tests on a virtual display.
  "test -- libgtest-dev libgmock-dev libbenchmark-dev xvfb xauth"
  # Screenshots of the window for the README (docs/window-screenshot.sh).
  "test -- imagemagick xdotool"
  # The random-program tests run every generated program compiled by Free Pascal as well and
  # compare the outputs (tests/random/).
  "test -- fp-compiler"
  # The Debian package (cpack -G DEB) and its test: package dependencies from the binaries.
  "test -- dpkg-dev file"
  # The fuzz targets (scripts/fuzz.sh; ./test.sh runs each briefly): clang, with libFuzzer
  # and the sanitizer runtimes.
  "test fuzz -- clang libclang-rt-dev"
  "fuzz -- cmake ninja-build"
)

list_only=false
if [ "${1:-}" = "--list" ]; then
  list_only=true
  shift
fi
task=${1:-test}
case "$task" in
  compiler | window | test | fuzz) ;;
  *)
    echo "usage: $0 [--list] [compiler|window|test|fuzz]" >&2
    exit 2
    ;;
esac

packages=()
for need in "${needs[@]}"; do
  tasks=" ${need%% -- *} "
  if [[ "$tasks" == *" $task "* ]]; then
    read -r -a listed <<<"${need#* -- }"
    packages+=("${listed[@]}")
  fi
done

if $list_only; then
  printf '%s\n' "${packages[@]}"
  exit 0
fi

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
