#!/usr/bin/env bash
# Installs what is missing, builds, and opens the window on the demo fleet
# (or on the fleet file named by QUILLFENCE_DEVICES).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup-deps.sh" build
QUILLFENCE_BUILD_DIR=${QUILLFENCE_BUILD_DIR:-$root/build} "$root/scripts/build.sh" -DQUILLFENCE_TESTS=OFF
export QUILLFENCE_DEVICES=${QUILLFENCE_DEVICES:-$root/data/demo-fleet.json}
exec "${QUILLFENCE_BUILD_DIR:-$root/build}/app/quillfence"
