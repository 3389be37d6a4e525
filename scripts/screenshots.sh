#!/usr/bin/env bash
# Takes the README's screenshots on the demo fleet under Xvfb.
# Usage: screenshots.sh [BUILD_DIR] [OUTPUT_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
out=${2:-$root/docs/screenshots}
mkdir -p "$out"
export QUILLFENCE_DEVICES=$root/data/demo-fleet.json
export XDG_RUNTIME_DIR=$(mktemp -d)
# With a compositing manager, as on most desktops: the mask over the window
# is a translucent window of its own.
xvfb-run -a -s '-screen 0 1280x800x24' bash -c \
  'xcompmgr -n & sleep 0.5; "$0" "$1"; status=$?; kill %1; exit $status' \
  "$build/app/quillfence-screenshots" "$out"
# Without one, as on plain X desktops and many remote sessions: the mask dims
# from within the window.
xvfb-run -a -s '-screen 0 1280x800x24' \
  "$build/app/quillfence-screenshots" "$out" --close-question-only close-question-plain-x.png
ls "$out"
