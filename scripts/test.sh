#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QUILLFENCE_BUILD_DIR:-$root/build}
"$root/scripts/setup-deps.sh" test
QUILLFENCE_BUILD_DIR=$build "$root/scripts/build.sh" -DQUILLFENCE_TESTS=ON
cd "$build"
ctest --output-on-failure -j"$(nproc)" --timeout 1200
