#!/usr/bin/env bash
# The Debian package on a clean Debian 12: takes the package that
# scripts/package.sh built in WORK_DIR/build, unpacks a minimal Debian 12 (debootstrap --variant=minbase) into a temporary folder,
# installs the package there with apt as a user would, and checks what it
# installed: the files and nothing else, the programs' --version and --help,
# quillfence-cli on the demo fleet, the desktop entry, the AppStream data, the
# manual pages and, where the build has it, the polkit policy. Then starts the
# window from its desktop entry's Exec line under Xvfb, checks that its window
# class is the entry's StartupWMClass and keeps a screenshot as
# WORK_DIR/installed-window.png. Prints the time of each step.
#
# Usage: package-test.sh WORK_DIR VERSION
# WORK_DIR/build holds the package build (scripts/package.sh WORK_DIR/build). The bootstrapped system and
# the downloaded packages are kept in $QUILLFENCE_PACKAGE_CACHE (default
# ~/.cache/quillfence-package), so later runs bootstrap nothing and download
# only what changed.
# Exits 77 (skipped) when not run as root, when a tool is missing, or when the
# Debian mirror cannot be reached.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
[ $# -eq 2 ] || { sed -n '2,20p' "$0" >&2; exit 2; }
work=$1 version=$2
mirror=${QUILLFENCE_DEBIAN_MIRROR:-http://deb.debian.org/debian}
cache=${QUILLFENCE_PACKAGE_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/quillfence-package}
app_id=example.quillfence.Quillfence

skip() { echo "SKIP: $*"; exit 77; }
[ "$(id -u)" -eq 0 ] || skip "installing into a Debian root needs root (chroot, mounts)"
for tool in debootstrap lintian desktop-file-validate appstreamcli xmllint man Xvfb xdotool xprop import identify; do
  command -v "$tool" >/dev/null || skip "$tool is not installed"
done

step() { printf '== %s (%ds)\n' "$*" "$SECONDS"; }
failures=0
check() {
  if eval "$2"; then echo "ok: $1"; else echo "FAILED: $1"; failures=$((failures + 1)); fi
}

mkdir -p "$work" "$cache/archives/partial"
target=$(mktemp -d /tmp/quillfence-debian.XXXXXX)
system=$target/root
mounts=() pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; done
  for ((i = ${#mounts[@]} - 1; i >= 0; i--)); do umount "${mounts[i]}" 2>/dev/null || umount -l "${mounts[i]}"; done
  # Never delete through a mount that is still there.
  if ! grep -q " $target/" /proc/mounts; then rm -rf "$target"; fi
  step "Cleaned up"
}
trap cleanup EXIT
system_env=(env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8)
in_system() { chroot "$system" "${system_env[@]}" "$@"; }
mount_in_system() {  # mount_in_system MOUNT_ARGUMENTS... MOUNT_POINT
  mount "$@" && mounts+=("${!#}")
}

step "Package"
package=$(ls "$work"/build/quillfence_"$version"_*.deb 2>/dev/null | tail -n1)
[ -f "$package" ] || { echo "FAILED: no package in $work/build: run scripts/package.sh $work/build"; exit 1; }
echo "$(basename "$package"): $(du -k "$package" | cut -f1) KiB"
dpkg-deb --field "$package" Depends

step "lintian"
lintian --tag-display-limit 0 --display-info --fail-on error "$package" >"$work/lintian.txt" 2>&1
status=$?
cat "$work/lintian.txt"
check "lintian finds no error" '[ "$status" -eq 0 ]'

step "Debian 12 root"
base=$cache/bookworm-minbase.tar.gz
if [ ! -f "$base" ]; then
  debootstrap --variant=minbase bookworm "$target/bootstrap" "$mirror" >"$work/debootstrap.log" 2>&1 ||
    { tail -n 5 "$work/debootstrap.log"; skip "debootstrap could not install Debian 12 from $mirror"; }
  tar --numeric-owner -C "$target/bootstrap" -czf "$base.new" . && mv "$base.new" "$base"
  rm -rf "$target/bootstrap"
fi
mkdir "$system"
tar --numeric-owner -C "$system" -xzf "$base"
cp /etc/resolv.conf "$system/etc/resolv.conf"
# No service of an installed package is started in the chroot, and dpkg does
# not wait for each file to reach the disk (the root is thrown away).
printf '#!/bin/sh\nexit 101\n' >"$system/usr/sbin/policy-rc.d"
chmod 755 "$system/usr/sbin/policy-rc.d"
echo force-unsafe-io >"$system/etc/dpkg/dpkg.cfg.d/quillfence-test"
mount_in_system -t proc proc "$system/proc"
mount_in_system --bind /dev "$system/dev"
mount_in_system --bind "$cache/archives" "$system/var/cache/apt/archives"
cp "$package" "$root/data/demo-fleet.json" "$system/tmp/"

step "apt install ./$(basename "$package")"
in_system apt-get update -q >"$work/apt.log" 2>&1 || { tail -n 5 "$work/apt.log"; skip "apt cannot reach $mirror"; }
# apt keeps what it downloaded in the cache, for the next run.
if ! in_system sh -c "cd /tmp && DEBIAN_FRONTEND=noninteractive apt install -y -o APT::Keep-Downloaded-Packages=true ./$(basename "$package")" \
    >>"$work/apt.log" 2>&1; then
  tail -n 30 "$work/apt.log"
  echo "FAILED: apt install"
  exit 1
fi
grep -E '^(Need to get|After this operation)' "$work/apt.log"

step "Installed files"
expected=(
  /usr/bin/quillfence
  /usr/bin/quillfence-cli
  /usr/bin/quillfence-flashtest
  /usr/share/applications/$app_id.desktop
  /usr/share/metainfo/$app_id.metainfo.xml
  /usr/share/icons/hicolor/scalable/apps/$app_id.svg
  /usr/share/man/man1/quillfence.1.gz
  /usr/share/man/man1/quillfence-cli.1.gz
  /usr/share/man/man1/quillfence-flashtest.1.gz
  /usr/share/doc/quillfence/copyright
  /usr/share/doc/quillfence/changelog.gz
  /usr/share/doc/quillfence/examples/quillfence-metrics.service
  /usr/share/doc/quillfence/examples/quillfence-metrics.timer
)
for size in 16 22 24 32 48 64 128 256; do
  expected+=("/usr/share/icons/hicolor/${size}x$size/apps/$app_id.png")
done
# The privileged helper and its polkit actions come with the policy's source.
policy=/usr/share/polkit-1/actions/example.quillfence.policy
helper=/usr/libexec/quillfence/quillfence-helper
has_policy=false
if [ -f "$root/packaging/linux/example.quillfence.policy.in" ]; then
  has_policy=true
  expected+=("$policy" "$helper")
fi
installed=$(in_system dpkg -L quillfence | while read -r path; do
  [ -d "$system$path" ] || echo "$path"
done | sort)
check "the package installs exactly the files listed" \
  '[ "$installed" = "$(printf "%s\n" "${expected[@]}" | sort)" ] ||
   { diff <(printf "%s\n" "${expected[@]}" | sort) <(echo "$installed"); false; }'
for program in quillfence quillfence-cli quillfence-flashtest; do
  check "$program is executable" '[ -x "$system/usr/bin/$program" ]'
done
for size in 16 256; do
  check "the ${size}px icon is ${size}x$size" \
    '[ "$(identify -format %wx%h "$system/usr/share/icons/hicolor/${size}x$size/apps/$app_id.png")" = "${size}x$size" ]'
done

step "Programs"
for program in quillfence quillfence-cli quillfence-flashtest; do
  out=$(in_system "$program" --version 2>&1); status=$?
  check "$program --version: $(head -n1 <<<"$out")" '[ "$status" -eq 0 ] && [ "$(head -n1 <<<"$out")" = "$program $version" ]'
  out=$(in_system "$program" --help 2>&1); status=$?
  check "$program --help" '[ "$status" -eq 0 ] && [[ "$out" == "usage: $program "* ]]'
done
out=$(in_system QUILLFENCE_DEVICES=/tmp/demo-fleet.json quillfence-cli list 2>&1); status=$?
# Exit bit 1: drive 15's identity cannot be read.
check "quillfence-cli list on the demo fleet" \
  '[ "$status" -eq 1 ] && grep -q "^PhysicalDrive9 " <<<"$out" && grep -q "QYD-M7A0-512G" <<<"$out" || { echo "$out"; false; }'
out=$(in_system QUILLFENCE_DEVICES=/tmp/demo-fleet.json quillfence-cli smart 9 2>&1); status=$?
# Exit bit 8: the drive's highest temperature is over its limit (#1002).
check "quillfence-cli smart 9 on the demo fleet" '[ "$status" -eq 8 ] && grep -q "剩余寿命 89%" <<<"$out" || { echo "exit $status"; echo "$out"; false; }'

step "Desktop entry, AppStream data, manual pages"
desktop=$system/usr/share/applications/$app_id.desktop
check "desktop-file-validate" 'desktop-file-validate "$desktop"'
check "appstreamcli validate --no-net" 'appstreamcli validate --no-net "$system/usr/share/metainfo/$app_id.metainfo.xml"'
for page in quillfence quillfence-cli quillfence-flashtest; do
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$system/usr/share/man/man1/$page.1.gz" 2>&1 >/dev/null)
  check "man $page renders without warnings" '[ -z "$warnings" ] || { echo "$warnings"; false; }'
done

if $has_policy; then
  step "polkit policy"
  check "the policy is well-formed XML" 'xmllint --noout "$system$policy"'
  actions=$(xmllint --xpath '//action/@id' "$system$policy" 2>/dev/null | sed 's/ id="\([^"]*\)"/\1\n/g' | sed '/^$/d')
  echo "actions: $(echo $actions)"
  check "the policy names two actions" '[ "$(wc -l <<<"$actions")" -eq 2 ]'
  paths=$(xmllint --xpath '//annotate[@key="org.freedesktop.policykit.exec.path"]/text()' "$system$policy" 2>/dev/null | sort -u)
  check "the actions' exec.path is the installed helper" '[ "$paths" = "$helper" ] && [ -x "$system$helper" ]'
  defaults() {  # defaults ACTION: its allow_any, allow_inactive and allow_active
    local d="//action[@id=\"$1\"]/defaults"
    xmllint --xpath "concat($d/allow_any, \" \", $d/allow_inactive, \" \", $d/allow_active)" "$system$policy"
  }
  check "reading asks no password in the active session, the administrator's elsewhere" \
    '[ "$(defaults example.quillfence.read-drives)" = "auth_admin auth_admin yes" ]'
  check "a firmware update asks the administrator's password every time" \
    '[ "$(defaults example.quillfence.update-firmware)" = "auth_admin auth_admin auth_admin" ]'
fi

step "The window from its desktop entry"
# The Exec line without its field codes.
exec_line=$(sed -n 's/^Exec=//p' "$desktop" | sed 's/ *%[fFuUdDnNickvm]//g')
wm_class=$(sed -n 's/^StartupWMClass=//p' "$desktop")
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$target/display" 2>/dev/null &
pids+=($!)
for _ in $(seq 50); do [ -s "$target/display" ] && break; sleep 0.1; done
display=:$(cat "$target/display")
# The chroot reaches the X server through its abstract socket.
mkdir -m 700 "$system/tmp/runtime"
# chroot, env and sh each hand over to the next, so the program keeps the pid
# of the background job.
chroot "$system" "${system_env[@]}" DISPLAY="$display" QUILLFENCE_DEVICES=/tmp/demo-fleet.json \
  XDG_RUNTIME_DIR=/tmp/runtime sh -c "exec $exec_line" >"$work/window.log" 2>&1 &
window_pid=$!
pids+=($window_pid)
window=$(DISPLAY=$display timeout 30 xdotool search --sync --onlyvisible --pid "$window_pid" 2>/dev/null | head -n1)
check "the window opens" '[ -n "$window" ] || { cat "$work/window.log"; false; }'
if [ -n "$window" ]; then
  class=$(DISPLAY=$display xprop -id "$window" WM_CLASS | sed -n 's/.*= "[^"]*", "\([^"]*\)"$/\1/p')
  check "its window class \"$class\" is the entry's StartupWMClass \"$wm_class\"" '[ -n "$class" ] && [ "$class" = "$wm_class" ]'
  # The first reading and paint: screenshots until the window shows more
  # than its empty frame, for at most 30 s.
  colours=0
  for _ in $(seq 100); do
    DISPLAY=$display import -window "$window" "$work/installed-window.png" 2>/dev/null &&
      colours=$(identify -format %k "$work/installed-window.png") && [ "$colours" -gt 100 ] && break
    sleep 0.3
  done
  check "the screenshot shows a painted window ($colours colours)" '[ "$colours" -gt 100 ]'
fi

step "Done"
echo "$failures failed"
[ "$failures" -eq 0 ]
