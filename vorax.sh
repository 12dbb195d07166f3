#!/usr/bin/env bash
# Compiles Pascal sources with VORAX, installing and building what is missing first.
#   ./vorax.sh examples/DEMO.PAS      writes examples/DEMO.asm
set -euo pipefail
top="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
"$top/scripts/install-deps.sh" >&2
if [ ! -f "$top/build/build.ninja" ]; then
  cmake -S "$top" -B "$top/build" -G Ninja -DCMAKE_BUILD_TYPE=Release >&2
fi
cmake --build "$top/build" --target vorax >&2
exec "$top/build/vorax" "$@"
