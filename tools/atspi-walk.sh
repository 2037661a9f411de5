#!/usr/bin/env bash
# The screen reader's view of rm427: starts it on a private X display with an
# accessibility bus, walks the main window with the channel grid, then the
# Communication Port window (opened from the keyboard: Alt+S, C), and lists
# every control with no name. On the way it says what the focus lands on as
# Tab goes round the channel window and the write window (Alt+L, W), and
# how the grid's first headers and cells read. Needs xvfb, xdotool, at-spi2-core, dbus-x11 and
# python3-pyatspi (apt-get; the system python3, which has pyatspi). Exit
# status 1 when a control has no name.
#   bash tools/atspi-walk.sh [DISPLAY_NUMBER]     (default 29)
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${BUILD_DIR:-build}
num=${1:-29}
if [ -z "${DBUS_SESSION_BUS_ADDRESS:-}" ]; then
  exec dbus-run-session -- bash "$0" "$@"
fi
tmp=$(mktemp -d)
pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; rm -rf "$tmp"; }
trap cleanup EXIT
Xvfb ":$num" -screen 0 1600x1200x24 >/dev/null 2>&1 & pids+=($!)
export DISPLAY=":$num"
sleep 1
/usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 & pids+=($!)
sleep 1
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1 QT_QPA_PLATFORM=xcb
export RM427_SETTINGS_FILE="$tmp/settings.ini" XDG_DATA_HOME="$tmp/data"
"$build_dir/app/rm427" >/dev/null 2>&1 & pids+=($!)
status=0
sleep 4
echo "== main window and channel grid"
/usr/bin/python3 tools/atspi_walk.py rm427 || status=1
win=$(xdotool search --sync --onlyvisible --name 'RM-427' | head -1)
xdotool windowactivate --sync "$win" 2>/dev/null || xdotool windowfocus --sync "$win"
# What Tab goes through in the channel window, a typed frequency in its
# editor, then the cells as read.
tab_round() {
  for _ in $(seq "$1"); do
    /usr/bin/python3 tools/atspi_walk.py rm427 --focus
    xdotool key Tab
    sleep 0.3
  done
}
echo "== Tab round the main window"
tab_round 5
echo "== A frequency typed into the grid: the editor over the cell"
/usr/bin/python3 tools/atspi_walk.py rm427 --listen 4 & listener=$!
sleep 1.5
xdotool key 4 3 5 period 1 2 5 Return Right
wait $listener
/usr/bin/python3 tools/atspi_walk.py rm427 --cells 18
xdotool key alt+l w
sleep 2
echo "== Write window, Tab round"
tab_round 5
xdotool key Escape
sleep 1
xdotool key --window "$win" alt+s c
sleep 2
echo "== Communication Port window"
/usr/bin/python3 tools/atspi_walk.py rm427 || status=1
exit $status
