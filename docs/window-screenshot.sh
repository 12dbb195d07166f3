#!/usr/bin/env bash
# Takes the README's picture of the window (docs/window.png): vorax-gui runs on a virtual
# X display, compiles docs/window-example/BLINK.PAS given as its argument, the completion
# box is closed with Enter, and the mouse rests on the about button so its tool tip shows.
#   docs/window-screenshot.sh [build folder] [output picture]
set -euo pipefail
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$(cd "${1:-$top/build}" && pwd)"
picture="$(realpath -m "${2:-$top/docs/window.png}")"
"$top/scripts/install-deps.sh" >&2

# The example is compiled in a scratch copy: the settings file and the assembly file
# land there, not in the repository.
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cp "$top"/docs/window-example/* "$work/"

export VORAX_GUI="$build/vorax-gui" VORAX_PICTURE="$picture" VORAX_WORK="$work"
xvfb-run -a -n $((100 + RANDOM % 800)) -s "-screen 0 640x400x24" bash -euo pipefail -c '
  cd "$VORAX_WORK"
  "$VORAX_GUI" "$VORAX_WORK/BLINK.PAS" &
  gui=$!
  # The main window and the completion box are both named VORAX; the box is the one
  # that does not have the main window size.
  box=""
  for _ in $(seq 100); do
    for id in $(xdotool search --onlyvisible --name "^VORAX\$" 2>/dev/null); do
      eval "$(xdotool getwindowgeometry --shell "$id")"
      if [ "$WIDTH" != 329 ]; then box=$id; else window=$id; fi
    done
    [ -n "$box" ] && break
    sleep 0.1
  done
  [ -n "$box" ] || { echo "no completion box appeared" >&2; kill "$gui"; exit 1; }
  sleep 0.3
  xdotool windowfocus --sync "$box"
  xdotool key Return
  sleep 0.5
  eval "$(xdotool getwindowgeometry --shell "$window")"
  # Without a window manager nobody gives the window back its focus after the box
  # closed; tool tips show only in the active window.
  xdotool windowfocus --sync "$window"
  # The about button is the third one of the tool bar; its tool tip falls beside the
  # label of the first row.
  xdotool mousemove $((X + 72)) $((Y + 10))
  sleep 0.2
  xdotool mousemove $((X + 74)) $((Y + 12))
  sleep 1.5
  import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$VORAX_PICTURE"
  kill "$gui"
'
echo "wrote $picture"
