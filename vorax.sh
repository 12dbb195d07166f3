#!/usr/bin/env bash
# Compiles Pascal sources with VORAX, installing and building what is missing first.
#   ./vorax.sh examples/DEMO.PAS      writes examples/DEMO.asm
# Only the command-line compiler's own dependencies are installed and only it is built;
# ./test.sh adds the window, the tests and their tools to the same build folder.
set -euo pipefail
top="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
"$top/scripts/install-deps.sh" compiler >&2
if [ ! -f "$top/build/build.ninja" ]; then
  cmake -S "$top" -B "$top/build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVORAX_BUILD_TESTS=OFF >&2
fi
cmake --build "$top/build" --target vorax >&2
exec "$top/build/vorax" "$@"
