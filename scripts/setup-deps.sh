#!/usr/bin/env bash
# Installs the Debian packages the project needs, only those still missing.
# Usage: setup-deps.sh build|test|test-build|test-run [--check]
#   build       what the window's build needs
#   test-build  build, and what the test tree's configure and build need
#   test-run    what only the tests need when they run (scripts/test.sh
#               installs these while the test tree builds)
#   test        all of them
# With --check nothing is installed: the exit status is 1 when a package is
# missing.
set -euo pipefail

build_packages=(
  build-essential cmake ninja-build pkg-config python3
  qtbase5-dev qtbase5-dev-tools libqt5x11extras5-dev qttranslations5-l10n
  qttools5-dev qttools5-dev-tools
  nlohmann-json3-dev libudev-dev libxlsxwriter-dev zlib1g-dev libsqlite3-dev
  fonts-wqy-microhei fonts-dejavu-core fonts-dejavu-extra
  librsvg2-bin dpkg-dev file
)
test_build_packages=(googletest libgtest-dev)
test_run_packages=(
  python3-jsonschema python3-prometheus-client hdparm
  clang libclang-rt-14-dev
  xvfb xauth xdotool xcompmgr openbox dunst imagemagick python3-openpyxl
  qemu-system-x86 busybox-static cpio e2fsprogs fdisk smartmontools btrfs-progs udev strace
  polkitd pkexec dbus-daemon dbus-bin
  g++-mingw-w64-x86-64-posix wine wine64
  debootstrap lintian desktop-file-utils appstream libxml2-utils man-db x11-utils
)

case "${1:-build}" in
  build) packages=("${build_packages[@]}") ;;
  test-build) packages=("${build_packages[@]}" "${test_build_packages[@]}") ;;
  test-run) packages=("${test_run_packages[@]}") ;;
  test) packages=("${build_packages[@]}" "${test_build_packages[@]}" "${test_run_packages[@]}") ;;
  *) echo "usage: $0 build|test|test-build|test-run" >&2; exit 2 ;;
esac

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0
[ "${2:-}" = --check ] && exit 1

echo "Installing: ${missing[*]}"
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -q
"${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}" </dev/null
