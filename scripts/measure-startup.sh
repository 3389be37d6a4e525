#!/usr/bin/env bash
# Time from process start to the first painted window, under Xvfb with the
# demo fleet: the program against a bare Qt window of the same size, both
# without X11's GL integration (the program's own choice) and, for
# comparison, with Qt's default one. The starts are interleaved (one of each
# kind per round) so that a changing machine load falls on all of them
# alike. Prints the median of RUNS rounds (default 21) in milliseconds, the
# first-paint ratio of the program to the bare window, and the time until
# the program's disk list is shown; then the idle memory (PSS, once the list
# is shown; the bare window's after its first paint) and its ratio.
# Usage: measure-startup.sh [BUILD_DIR] [RUNS]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
runs=${2:-21}
bench=$build/app/quillfence-startup-bench
[ -x "$bench" ] || { echo "build $bench first" >&2; exit 1; }
export QUILLFENCE_DEVICES=$root/data/demo-fleet.json
export XDG_RUNTIME_DIR=$(mktemp -d)

if [ -z "${QUILLFENCE_IN_XVFB:-}" ]; then
  QUILLFENCE_IN_XVFB=1 exec xvfb-run -a -s '-screen 0 1280x800x24' "$0" "$build" "$runs"
fi

samples=$(mktemp)
trap 'rm -f "$samples"; rm -rf "$XDG_RUNTIME_DIR"' EXIT

start() {  # kind, GL integration ("" for Qt's default), bench arguments...
  local kind=$1 gl=$2
  shift 2
  local begin
  begin=$(date +%s%N)
  # "paint NS", "list NS" (program only), "pss KB".
  if [ -n "$gl" ]; then
    QT_XCB_GL_INTEGRATION=$gl "$bench" "$@"
  else
    env -u QT_XCB_GL_INTEGRATION "$bench" "$@"
  fi | awk -v kind="$kind" -v begin="$begin" \
    '$1 == "paint" || $1 == "list" {print kind, $1, ($2 - begin) / 1e6} $1 == "pss" {print kind, "pss", $2}' >>"$samples"
}

for _ in $(seq "$runs"); do
  start program none
  start bare none --bare
  # The program skips GL integration unless told otherwise: xcb_glx is what
  # Qt would pick by default.
  start program-gl xcb_glx
  start bare-gl "" --bare
done

median() {  # kind, what
  awk -v key="$1 $2" '$1 " " $2 == key {print $3}' "$samples" | sort -n |
    awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}'
}
paint=$(median program paint)
bare=$(median bare paint)
printf '%-55s %8.1f ms\n' "first paint, program (QT_XCB_GL_INTEGRATION=none)" "$paint"
printf '%-55s %8.1f ms\n' "first paint, bare window (QT_XCB_GL_INTEGRATION=none)" "$bare"
printf '%-55s %8.2f\n' "first-paint ratio, program to bare window" "$(awk -v p="$paint" -v b="$bare" 'BEGIN {print p / b}')"
printf '%-55s %8.1f ms\n' "disk list shown, program" "$(median program list)"
printf '%-55s %8.1f ms\n' "first paint, program, Qt's default GL integration" "$(median program-gl paint)"
printf '%-55s %8.1f ms\n' "first paint, bare window, Qt's default GL integration" "$(median bare-gl paint)"
pss=$(median program pss)
bare_pss=$(median bare pss)
printf '%-55s %8.1f MiB\n' "idle PSS, program (QT_XCB_GL_INTEGRATION=none)" "$(awk -v k="$pss" 'BEGIN {print k / 1024}')"
printf '%-55s %8.1f MiB\n' "idle PSS, bare window (QT_XCB_GL_INTEGRATION=none)" "$(awk -v k="$bare_pss" 'BEGIN {print k / 1024}')"
printf '%-55s %8.2f\n' "idle PSS ratio, program to bare window" "$(awk -v p="$pss" -v b="$bare_pss" 'BEGIN {print p / b}')"
echo "(medians of $runs interleaved rounds)"
