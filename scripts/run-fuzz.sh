#!/usr/bin/env bash
# Builds the SMART fuzz target with clang++ under libFuzzer, AddressSanitizer
# and UndefinedBehaviorSanitizer, seeds it with the example drives and runs it
# for SECONDS seconds. Exits non-zero when the target crashes or a sanitizer
# reports; the input that did it is left in BUILD_DIR.
#
# Usage: scripts/run-fuzz.sh SECONDS [BUILD_DIR]
#   BUILD_DIR defaults to ${TMPDIR:-/tmp}/quillfence-fuzz; CLANGXX picks the
#   compiler (default clang++).
set -euo pipefail

if [[ $# -lt 1 || $# -gt 2 || ! $1 =~ ^[0-9]+$ ]]; then
  echo "usage: $0 SECONDS [BUILD_DIR]" >&2
  exit 2
fi
seconds=$1
root=$(cd "$(dirname "$0")/.." && pwd)
build=${2:-${TMPDIR:-/tmp}/quillfence-fuzz}
cxx=${CLANGXX:-clang++}

mkdir -p "$build/corpus" "$build/seeds"
common=(-std=c++17 -g -O1 -I"$root")
sanitizers=(-fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all)

"$cxx" "${common[@]}" "${sanitizers[@]}" \
  "$root"/smart/core/*.cpp "$root/tests/fuzz/SmartFuzzTarget.cpp" \
  -o "$build/smart-fuzz"
"$cxx" "${common[@]}" \
  "$root/smart/samples/SmartSamples.cpp" "$root/tests/fuzz/WriteSmartSeeds.cpp" \
  -o "$build/write-smart-seeds"
"$build/write-smart-seeds" "$build/seeds"

# New inputs go to the first directory only; the seeds are just read.
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
"$build/smart-fuzz" -max_total_time="$seconds" -artifact_prefix="$build/" \
  "$build/corpus" "$build/seeds"
