#!/usr/bin/env bash
# Installs what is missing, builds the test tree and runs every test. The
# test tree (build-test/, or $QUILLFENCE_BUILD_DIR) is built without
# optimisation under AddressSanitizer and UndefinedBehaviorSanitizer, so
# that every test runs sanitized; the window of scripts/run.sh keeps its own
# tree (build/). Its debug information is line tables only (-g1): enough for
# the file and line of every frame in a sanitizer's report, at a tenth less
# compile and link time than full debug information.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QUILLFENCE_BUILD_DIR:-$root/build-test}
"$root/scripts/setup-deps.sh" test-build
setup_done=$SECONDS

# What only the running tests need is installed while the test tree builds.
mkdir -p "$build"
deps_log=$build/setup-deps.log
if [ "$(id -u)" -ne 0 ] && ! "$root/scripts/setup-deps.sh" test-run --check; then
  sudo -v # asks for the password here, not in the background
fi
"$root/scripts/setup-deps.sh" test-run >"$deps_log" 2>&1 </dev/null &
deps=$!
if ! QUILLFENCE_BUILD_DIR=$build "$root/scripts/build.sh" -DQUILLFENCE_TESTS=ON \
     -DQUILLFENCE_SANITIZE=ON -DQUILLFENCE_TOOLS=OFF -DCMAKE_BUILD_TYPE=Debug \
     -DCMAKE_CXX_FLAGS_DEBUG=-g1; then
  wait "$deps" || true
  exit 1
fi
if ! wait "$deps"; then
  cat "$deps_log" >&2
  echo "$0: installing the packages the tests need failed (log: $deps_log)" >&2
  exit 1
fi
grep -m1 '^Installing: ' "$deps_log" || true
build_done=$SECONDS

cd "$build"
status=0
ctest --output-on-failure -j"$(nproc)" --timeout 1200 || status=$?
echo "test.sh: set-up ${setup_done} s, build (and the tests' packages) $((build_done - setup_done)) s," \
     "tests $((SECONDS - build_done)) s, in all ${SECONDS} s"
exit "$status"
