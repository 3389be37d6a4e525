#!/usr/bin/env bash
# A second start brings the running window back: with the first window
# hidden to the tray (its close button, with "hide to the tray" remembered),
# a second start shows its "already running" box, exits 1 once the box is
# closed, and the first window is then visible and the active window.
# Runs on Xvfb with openbox (for the active window) and a stand-in tray.
# Usage: second-start-shows.sh PROGRAM FLEET CLOSE_WINDOW TRAY_OWNER
set -u
program=$1
fleet=$2
close_window=$3
tray_owner=$4

for tool in Xvfb xdotool xprop openbox; do
  command -v $tool >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done

work=$(mktemp -d)
mkdir -m 700 "$work/run" "$work/tmp"
mkdir -p "$work/config/quillfence"
printf '0\n' >"$work/config/quillfence/config"   # the close button hides to the tray
export TMPDIR=$work/tmp XDG_RUNTIME_DIR=$work/run XDG_CONFIG_HOME=$work/config
export QUILLFENCE_DEVICES=$fleet
unset QT_QPA_PLATFORM DBUS_SESSION_BUS_ADDRESS
pids=()
cleanup() { kill "${pids[@]}" 2>/dev/null; wait 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT

mkfifo "$work/display"
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
pids+=($!)
read -r display <"$work/display" || { echo "FAILED: Xvfb did not start"; exit 1; }
export DISPLAY=:$display
openbox >/dev/null 2>&1 & pids+=($!)
mkfifo "$work/tray"
"$tray_owner" >"$work/tray" & pids+=($!)
read -r ready <"$work/tray"
[ "$ready" = ready ] || { echo "FAILED: the stand-in tray did not start"; exit 1; }

failures=0
check() { if eval "$2"; then echo "ok: $1"; else echo "FAILED: $1"; failures=$((failures + 1)); fi; }
# Waits up to 30 s for a condition to hold.
await() { local i; for i in $(seq 300); do eval "$1" && return 0; sleep 0.1; done; return 1; }

start() { "$program" >"$work/$1.log" 2>&1 & started=$!; pids+=($started); }
window_of() { timeout 30 xdotool search --all --sync --onlyvisible --pid "$1" --name "$2" 2>/dev/null | head -n1; }
visible() { [ -n "$(xdotool search --all --onlyvisible --pid "$1" --name '^SSD Quillfence$' 2>/dev/null)" ]; }
active_window() { printf '%d' "$(xprop -root _NET_ACTIVE_WINDOW | sed -n 's/.*# \(0x[0-9a-f]*\).*/\1/p')"; }

# The window manager first: a window mapped while openbox is still taking
# over the screen can stay unmapped.
await 'xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"' ||
  { echo "FAILED: openbox did not start"; exit 1; }
start first; first=$started
window=$(window_of "$first" '^SSD Quillfence$')
check "first window shows" '[ -n "$window" ]'
if [ -z "$window" ]; then
  echo "-- the first start's output:"; cat "$work/first.log"
  echo "-- its windows:"; xdotool search --all --pid "$first" --name '' getwindowname %@ 2>&1 | head
  exit 1
fi
# Once openbox manages it, a click on the title bar's close button (16 px,
# 37 px in from the right edge, in the middle of the 45 px bar).
await '[ "$(active_window)" = "$window" ]'
width=$(xdotool getwindowgeometry "$window" | sed -n 's/.*Geometry: \([0-9]*\)x.*/\1/p')
xdotool mousemove --window "$window" $((width - 1 - 9 - 20 - 8)) 23 click 1
check "first window hidden to the tray" 'await "! visible $first"'
check "first window stays hidden" '! visible "$first" && kill -0 "$first"'

start second; second=$started
box=$(window_of "$second" '^警告$')
check "second start shows the warning box" '[ -n "$box" ]'
[ -n "$box" ] && "$close_window" "$box"
timeout 30 tail --pid="$second" -f /dev/null || kill "$second" 2>/dev/null
wait "$second"; code=$?
check "second start exits with code 1 (got $code)" '[ "$code" = 1 ]'

check "first window visible again" 'await "visible $first"'
check "first window is the active window" 'await "[ \"\$(active_window)\" = \"$window\" ]"'
check "first window is not hidden or iconic" \
  '! xprop -id "$window" _NET_WM_STATE | grep -q -e _NET_WM_STATE_HIDDEN -e _NET_WM_STATE_SHADED'
if [ -n "${QUILLFENCE_SCREENSHOTS:-}" ]; then
  import -window root "$QUILLFENCE_SCREENSHOTS/second-start-shows.png" 2>/dev/null
fi

[ "$failures" = 0 ]
