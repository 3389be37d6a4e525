#!/usr/bin/env bash
# Installs what is missing, builds the test tree and runs every test. The
# test tree (build-test/, or $QUILLFENCE_BUILD_DIR) is built without
# optimisation under AddressSanitizer and UndefinedBehaviorSanitizer, so
# that every test runs sanitized; the window of scripts/run.sh keeps its own
# tree (build/).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QUILLFENCE_BUILD_DIR:-$root/build-test}
"$root/scripts/setup-deps.sh" test
QUILLFENCE_BUILD_DIR=$build "$root/scripts/build.sh" -DQUILLFENCE_TESTS=ON -DQUILLFENCE_SANITIZE=ON \
  -DQUILLFENCE_TOOLS=OFF -DCMAKE_BUILD_TYPE=Debug
cd "$build"
ctest --output-on-failure -j"$(nproc)" --timeout 1200
