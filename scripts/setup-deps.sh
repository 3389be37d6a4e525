#!/usr/bin/env bash
# Installs the Debian packages the project needs, only those still missing.
# Usage: setup-deps.sh build|test   (test includes build)
set -euo pipefail

build_packages=(
  build-essential cmake ninja-build pkg-config
  qtbase5-dev qtbase5-dev-tools libqt5x11extras5-dev qttranslations5-l10n
  nlohmann-json3-dev libudev-dev libxlsxwriter-dev zlib1g-dev
  fonts-wqy-microhei fonts-dejavu-core fonts-dejavu-extra
  librsvg2-bin dpkg-dev file
)
test_packages=(
  googletest libgtest-dev python3-jsonschema python3-prometheus-client hdparm
  clang libclang-rt-14-dev
  xvfb xauth xdotool xcompmgr openbox imagemagick python3-openpyxl
  qemu-system-x86 busybox-static cpio e2fsprogs fdisk smartmontools btrfs-progs udev strace
  polkitd pkexec dbus-daemon dbus-bin
  g++-mingw-w64-x86-64 wine wine64
  debootstrap lintian desktop-file-utils appstream libxml2-utils man-db x11-utils
)

packages=("${build_packages[@]}")
case "${1:-build}" in
  build) ;;
  test) packages+=("${test_packages[@]}") ;;
  *) echo "usage: $0 build|test" >&2; exit 2 ;;
esac

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -q
"${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}" </dev/null
