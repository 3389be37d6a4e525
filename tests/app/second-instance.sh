#!/usr/bin/env bash
# Two processes of the program on one X display: the second start shows the
# "already running" box and exits 1; the first is unaffected; an instance of
# another session (another runtime directory) runs beside it; once it has
# ended, or crashed, a new start runs.
set -u
program=$1
fleet=$2

for tool in Xvfb xdotool; do
  command -v $tool >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done

work=$(mktemp -d)
mkdir -m 700 "$work/run" "$work/other-run" "$work/tmp"
export TMPDIR=$work/tmp
export QUILLFENCE_DEVICES=$fleet
export XDG_RUNTIME_DIR=$work/run   # the instance lock lives here
unset QT_QPA_PLATFORM
pids=()
cleanup() { kill "${pids[@]}" 2>/dev/null; kill "$xvfb" 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT

Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb=$!
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=:$(cat "$work/display")

failures=0
check() { if eval "$2"; then echo "ok: $1"; else echo "FAILED: $1"; failures=$((failures + 1)); fi; }

# Starts the program in the background; its process id lands in $started.
start() { "$program" >"$work/$1.log" 2>&1 & started=$!; pids+=($started); }
# True when a window titled "警告" shows up within the seconds given.
warning_window() { timeout "$1" xdotool search --sync --onlyvisible --name '^警告$' 2>/dev/null | head -n1; }
running_after() { sleep "$2"; kill -0 "$1" 2>/dev/null; }

start first; first=$started
for _ in $(seq 100); do [ -e "$work/run/QvtQuillfence.lock" ] && break; sleep 0.1; done
check "first instance holds the lock in the runtime directory" '[ -e "$work/run/QvtQuillfence.lock" ]'
check "nothing of the lock in the shared temporary folder" '[ -z "$(ls -A "$work/tmp")" ]'

start second; second=$started
box=$(warning_window 20)
check "second instance shows the warning box" '[ -n "$box" ]'
if [ -n "$box" ]; then
  import -window "$box" "$work/box.png" 2>/dev/null && [ -n "${QUILLFENCE_SCREENSHOTS:-}" ] && cp "$work/box.png" "$QUILLFENCE_SCREENSHOTS/second-instance.png"
  xdotool windowfocus --sync "$box" key Return
else
  kill "$second"
fi
wait "$second"; code=$?
check "second instance exits with code 1 (got $code)" '[ "$code" = 1 ]'
check "first instance still runs" 'kill -0 "$first"'

XDG_RUNTIME_DIR=$work/other-run start other-session; other=$started
check "another session's instance runs beside it" 'running_after "$other" 3 && [ -z "$(warning_window 1)" ]'
kill "$other"; wait "$other" 2>/dev/null

kill "$first"; wait "$first" 2>/dev/null
start third; third=$started
check "a start after the first has ended runs" 'running_after "$third" 3 && [ -z "$(warning_window 1)" ]'

kill -9 "$third"; wait "$third" 2>/dev/null
start fourth; fourth=$started
check "a start after a crashed instance runs" 'running_after "$fourth" 3 && [ -z "$(warning_window 1)" ]'

[ "$failures" = 0 ]
