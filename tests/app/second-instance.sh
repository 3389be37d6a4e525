#!/usr/bin/env bash
# Two processes of the program on one X display: the second start shows the
# "already running" box and exits 1; the first is unaffected; an instance of
# another session (another runtime directory) runs beside it; once it has
# ended, or crashed, a new start runs.
# Every wait is for a window of the process in question to show; the box is
# closed as a window manager closes a window, not by keys.
# Usage: second-instance.sh PROGRAM FLEET CLOSE_WINDOW
set -u
program=$1
fleet=$2
close_window=$3

for tool in Xvfb xdotool; do
  command -v $tool >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done

work=$(mktemp -d)
mkdir -m 700 "$work/run" "$work/other-run" "$work/tmp"
export TMPDIR=$work/tmp
export QUILLFENCE_DEVICES=$fleet
export XDG_RUNTIME_DIR=$work/run   # the instance lock lives here
export XDG_CONFIG_HOME=$work/config  # no settings of the user's: the language is the locale's
unset QT_QPA_PLATFORM
pids=()
xvfb=
cleanup() { kill "${pids[@]}" $xvfb 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT

# Xvfb writes its display number into the pipe once it takes clients; one
# that fails to start closes the pipe with nothing written.
mkfifo "$work/display"
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb=$!
read -r display <"$work/display" || { echo "FAILED: Xvfb did not start"; exit 1; }
export DISPLAY=:$display

failures=0
check() { if eval "$2"; then echo "ok: $1"; else echo "FAILED: $1"; failures=$((failures + 1)); fi; }

# Starts the program in the background; its process id lands in $started.
start() { "$program" >"$work/$1.log" 2>&1 & started=$!; pids+=($started); }
# The id of the first visible window of process $1 titled $2, once it shows
# (empty when none does within 30 s).
window_of() { timeout 30 xdotool search --all --sync --onlyvisible --pid "$1" --name "$2" 2>/dev/null | head -n1; }
main_window() { window_of "$1" '^SSD Quillfence$'; }
# An instance runs once its main window shows: it shows the window only
# after it took the lock, so no box of its own can follow.
runs() { [ -n "$(main_window "$1")" ] && kill -0 "$1" 2>/dev/null; }

start first; first=$started
check "first instance runs" 'runs "$first"'
check "first instance holds the lock in the runtime directory" '[ -e "$work/run/QvtQuillfence.lock" ]'
check "nothing of the lock in the shared temporary folder" '[ -z "$(ls -A "$work/tmp")" ]'

start second; second=$started
box=$(window_of "$second" '^警告$')
check "second instance shows the warning box" '[ -n "$box" ]'
if [ -n "$box" ]; then
  import -window "$box" "$work/box.png" 2>/dev/null && [ -n "${QUILLFENCE_SCREENSHOTS:-}" ] && cp "$work/box.png" "$QUILLFENCE_SCREENSHOTS/second-instance.png"
  "$close_window" "$box"
fi
# A box left open, or never shown, is ended after 30 s (and fails below).
timeout 30 tail --pid="$second" -f /dev/null || kill "$second" 2>/dev/null
wait "$second"; code=$?
check "second instance exits with code 1 (got $code)" '[ "$code" = 1 ]'
check "first instance still runs" 'kill -0 "$first"'

XDG_RUNTIME_DIR=$work/other-run start other-session; other=$started
check "another session's instance runs beside it" 'runs "$other"'
kill "$other"; wait "$other" 2>/dev/null

kill "$first"; wait "$first" 2>/dev/null
start third; third=$started
check "a start after the first has ended runs" 'runs "$third"'

kill -9 "$third"; wait "$third" 2>/dev/null
start fourth; fourth=$started
check "a start after a crashed instance runs" 'runs "$fourth"'

[ "$failures" = 0 ]
