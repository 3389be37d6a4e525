#!/usr/bin/env bash
# Builds the whole project a second time with AddressSanitizer (leaks
# included) and UndefinedBehaviorSanitizer, stopping at the first report,
# and runs its test suite there: every test but the virtual-machine, Windows
# and fuzz runs (which have their own sanitizers or none to add) and this one.
# Leaks of libraries outside the project are suppressed by name in
# tests/sanitize/lsan.supp; the project's own are not.
#
# Usage: scripts/sanitize-test.sh BUILD_DIR
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
[ $# -eq 1 ] || { sed -n '2,9p' "$0" >&2; exit 2; }
build=$1

# The test programs run while building too (GoogleTest lists its tests).
# Whole allocation stacks, so that a suppression can name the library that
# allocated through Qt's own frames.
export ASAN_OPTIONS=detect_leaks=1:fast_unwind_on_malloc=0:detect_stack_use_after_return=1
export LSAN_OPTIONS=suppressions=$root/tests/sanitize/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

flags="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
start=$SECONDS
cmake -S "$root" -B "$build" -G Ninja -DQUILLFENCE_TESTS=ON \
  -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-g -O1" \
  -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
cmake --build "$build" -j2 >"$build/build.log" 2>&1 || { tail -n 50 "$build/build.log"; exit 1; }
echo "sanitized build: $((SECONDS - start)) s"

cd "$build"
start=$SECONDS
status=0
ctest -j2 --output-on-failure -LE '^(vm|windows|fuzz|sanitize)$' || status=$?
echo "sanitized tests: $((SECONDS - start)) s"
exit $status
