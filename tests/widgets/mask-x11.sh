#!/usr/bin/env bash
# Runs the mask test on an X server without and with a compositing manager:
# without one the mask must dim from within the window, with one it may be a
# translucent window of its own.
# Usage: mask-x11.sh TEST_PROGRAM
set -u
program=$1

for tool in Xvfb xcompmgr; do
  command -v $tool >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done

work=$(mktemp -d)
export XDG_RUNTIME_DIR=$work
export QT_QPA_PLATFORM=xcb
pids=()
cleanup() { kill "${pids[@]}" 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT

failures=0
for compositor in none xcompmgr; do
  # Xvfb writes its display number into the pipe once it takes clients; one
  # that fails to start closes the pipe with nothing written.
  mkfifo "$work/display-$compositor"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display-$compositor" 2>/dev/null &
  pids+=($!)
  if ! read -r display <"$work/display-$compositor"; then
    echo "FAILED: Xvfb did not start"
    failures=$((failures + 1))
    continue
  fi
  export DISPLAY=:$display
  if [ $compositor = xcompmgr ]; then
    xcompmgr -n 2>/dev/null &
    pids+=($!)
  fi
  echo "== compositor: $compositor"
  QUILLFENCE_COMPOSITOR=$compositor "$program" || failures=$((failures + 1))
done
[ "$failures" = 0 ]
