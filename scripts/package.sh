#!/usr/bin/env bash
# Builds the Debian package into build-package/ (or the folder given): a build
# for the prefix /usr with Debian's compiler and linker flags, then
# `cpack -G DEB`. Prints the path of the package.
# Usage: package.sh [BUILD_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-package}
"$root/scripts/setup-deps.sh" build >&2

# The flags a Debian package build uses (optimisation, hardening); CMake reads
# no CPPFLAGS, so they go with the compiler's flags. Without -g: the package's
# programs are stripped (CPACK_STRIP_FILES) and no debug package is made, so
# the debug information would only cost a quarter of the compile time; the
# code is the same without it.
export DEB_BUILD_MAINT_OPTIONS=${DEB_BUILD_MAINT_OPTIONS:-hardening=+all}
export DEB_CFLAGS_MAINT_STRIP=-g DEB_CXXFLAGS_MAINT_STRIP=-g
eval "$(dpkg-buildflags --export=sh)"
export CXXFLAGS="$CPPFLAGS $CXXFLAGS"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=None -DCMAKE_INSTALL_PREFIX=/usr \
  -DQUILLFENCE_TESTS=OFF -DQUILLFENCE_TOOLS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" >&2
rm -f "$build"/quillfence_*.deb
(cd "$build" && cpack -G DEB >&2)
ls "$build"/quillfence_*.deb
