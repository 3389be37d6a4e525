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

# The firmware update of drive 8 (QX M7A0 120G, revision 0208A): a copy of
# the program beside an image in FwUpdata, on the demo fleet with that drive
# taking 700 ms over every command, so the progress bar can be seen moving.
fw=$(mktemp -d)
trap 'rm -rf "$fw"' EXIT
cp "$build/app/quillfence-screenshots" "$fw/"
mkdir "$fw/FwUpdata"
head -c 10000 /dev/zero | tr '\0' 'Z' >"$fw/FwUpdata/DCBFCBCC.bin"
sed 's/"number": 8,/"number": 8, "delayMs": 700,/' "$root/data/demo-fleet.json" >"$fw/fleet.json"
export QUILLFENCE_DEVICES=$fw/fleet.json
xvfb-run -a -s '-screen 0 1280x800x24' bash -c \
  'xcompmgr -n & sleep 0.5; "$0" "$1" --firmware-update firmware-; status=$?; kill %1; exit $status' \
  "$fw/quillfence-screenshots" "$out"
xvfb-run -a -s '-screen 0 1280x800x24' \
  "$fw/quillfence-screenshots" "$out" --firmware-update firmware-plain-x-
ls "$out"
