#!/usr/bin/env bash
# Installs, with apt-get, every Debian package the project needs that is missing.
# Safe to run repeatedly: it does nothing when everything is present.
set -euo pipefail

packages=(cmake ninja-build g++ libgtest-dev libgmock-dev libbenchmark-dev)
# The desktop window and its tests: Qt 6 Widgets, a CJK font, a virtual display.
packages+=(qt6-base-dev fonts-noto-cjk xvfb xauth)
# Screenshots of the window for the README (docs/window-screenshot.sh).
packages+=(imagemagick xdotool)
# The random-program tests run every generated program compiled by Free Pascal as well and
# compare the outputs (tests/random/).
packages+=(fp-compiler)

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
