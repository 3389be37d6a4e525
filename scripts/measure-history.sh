#!/usr/bin/env bash
# The history view's opening time under Xvfb: a year of hourly samples of one
# drive against the empty view, measured in the same run (medians of ROUNDS
# openings, default 21); then, with --size, the database's size for 16
# drives with a year of hourly samples each (takes a few minutes).
# Usage: measure-history.sh [BUILD_DIR] [ROUNDS] [--size]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
rounds=${2:-21}
size=${3:-}
bench=$build/app/quillfence-history-bench
[ -x "$bench" ] || { echo "build $bench first" >&2; exit 1; }
if [ -z "${QUILLFENCE_IN_XVFB:-}" ]; then
  QUILLFENCE_IN_XVFB=1 exec xvfb-run -a -s '-screen 0 1280x800x24' "$0" "$build" "$rounds" "$size"
fi
data=$(mktemp -d)
trap 'rm -rf "$data"' EXIT
export XDG_DATA_HOME=$data XDG_RUNTIME_DIR=$data
export QT_XCB_GL_INTEGRATION=none
"$bench" "$rounds"
if [ "$size" = --size ]; then
  "$bench" --size
fi
