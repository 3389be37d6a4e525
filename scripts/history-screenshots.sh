#!/usr/bin/env bash
# Takes the README's screenshots of the health history under Xvfb with the
# openbox window manager, each with a compositing manager (xcompmgr) and
# without: the history view of a year of the demo drive "QX M7A0 120G"
# (history-view.png, history-view-plain-x.png), and the notification the
# watch sends when that drive's life has fallen since its previous sample, as
# the dunst notification service shows it on a private session bus
# (notification.png, notification-plain-x.png).
# Usage: history-screenshots.sh [BUILD_DIR] [OUTPUT_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
out=${2:-$root/docs/screenshots}
program=$build/app/quillfence-history-screenshots
[ -x "$program" ] || { echo "build $program first" >&2; exit 1; }
mkdir -p "$out"
export QUILLFENCE_DEVICES=$root/data/demo-fleet.json

if [ -z "${QUILLFENCE_IN_XVFB:-}" ]; then
  QUILLFENCE_IN_XVFB=1 exec xvfb-run -a -s '-screen 0 1280x800x24' dbus-run-session -- "$0" "$build" "$out"
fi

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"

openbox >/dev/null 2>&1 &
pids+=($!)

compositor=""
compositing() {  # yes/no
  if [ -n "$compositor" ]; then kill "$compositor"; wait "$compositor" 2>/dev/null || true; compositor=""; fi
  if [ "$1" = yes ]; then
    xcompmgr -n &
    compositor=$!
  fi
}

# The history view, with an empty data folder of its own.
for mode in yes no; do
  compositing $mode
  suffix=$([ $mode = yes ] && echo "" || echo "-plain-x")
  XDG_DATA_HOME=$(mktemp -d -p "$work") "$program" --history "$out/history-view$suffix.png"
done

# dunst in the window's colours, at the top right.
mkdir -p "$work/dunst"
cat >"$work/dunst/dunstrc" <<'RC'
[global]
    font = DejaVu Sans, WenQuanYi Micro Hei 11
    width = 420
    origin = top-right
    offset = 16x16
    frame_width = 1
    frame_color = "#454a4d"
    corner_radius = 4
    format = "<b>%s</b>\n%b"
[urgency_normal]
    background = "#eeeefb"
    foreground = "#44474d"
    timeout = 0
RC
dunst -config "$work/dunst/dunstrc" >/dev/null 2>&1 &
pids+=($!)

# The notification of the drive's fall in life.
for mode in yes no; do
  compositing $mode
  suffix=$([ $mode = yes ] && echo "" || echo "-plain-x")
  coproc notifier { XDG_DATA_HOME=$(mktemp -d -p "$work") "$program" --notification; }
  read -r line <&"${notifier[0]}"
  [ "$line" = notified ] || { echo "the window sent no notification" >&2; exit 1; }
  # The notification service's window.
  for _ in $(seq 100); do
    xdotool search --classname Dunst >/dev/null 2>&1 && break
    sleep 0.1
  done
  sleep 0.5
  import -window root "$out/notification$suffix.png"
  kill "$notifier_PID"
  wait "$notifier_PID" 2>/dev/null || true
  dunstctl close-all 2>/dev/null || true
done
compositing no
ls "$out"/history-view*.png "$out"/notification*.png
