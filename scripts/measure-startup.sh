#!/usr/bin/env bash
# Time from process start to the first painted window, under Xvfb with the
# demo fleet: the program and a bare Qt window of the same size, each with
# Qt's default X11 GL integration and without it. Prints the median of RUNS
# starts (default 21) in milliseconds.
# Usage: measure-startup.sh [BUILD_DIR] [RUNS]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
runs=${2:-21}
bench=$build/app/quillfence-startup-bench
[ -x "$bench" ] || { echo "build $bench first" >&2; exit 1; }
export QUILLFENCE_DEVICES=$root/data/demo-fleet.json
export XDG_RUNTIME_DIR=$(mktemp -d)

median_ms() {  # command...
  local times=()
  for _ in $(seq "$runs"); do
    local start end
    start=$(date +%s%N)
    end=$("$@")
    times+=($(( (end - start) / 1000 )))
  done
  printf '%s\n' "${times[@]}" | sort -n | awk '{a[NR]=$1} END {printf "%.1f", a[int((NR+1)/2)] / 1000}'
}

row() {  # label, GL integration ("" for Qt's default), command...
  local label=$1 gl=$2
  shift 2
  if [ -n "$gl" ]; then export QT_XCB_GL_INTEGRATION=$gl; else unset QT_XCB_GL_INTEGRATION; fi
  printf '%-42s %8s ms\n' "$label" "$(median_ms "$@")"
}

measure() {
  # The program skips GL integration unless told otherwise: xcb_glx is
  # what Qt would pick by default.
  row "program, default GL integration (xcb_glx)" xcb_glx "$bench"
  row "program, QT_XCB_GL_INTEGRATION=none" none "$bench"
  row "bare window, default GL integration" "" "$bench" --bare
  row "bare window, QT_XCB_GL_INTEGRATION=none" none "$bench" --bare
}

if [ -z "${QUILLFENCE_IN_XVFB:-}" ]; then
  QUILLFENCE_IN_XVFB=1 exec xvfb-run -a -s '-screen 0 1280x800x24' "$0" "$build" "$runs"
fi
measure
