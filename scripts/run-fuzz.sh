#!/usr/bin/env bash
# Builds one fuzz target with clang++ under libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer, seeds it with the project's own data and the
# fixed seeds of tests/fuzz/seeds/TARGET (inputs that once broke the code),
# and runs it for SECONDS seconds. Exits non-zero when the target crashes or
# a sanitizer reports; the input that did it is left in BUILD_DIR: add it to
# tests/fuzz/seeds/TARGET once the fault is fixed.
#
# Usage: scripts/run-fuzz.sh TARGET SECONDS [BUILD_DIR]
#   TARGET: smart (SMART evaluation and table), fleet (the fleet reader and
#   the simulated machine), sense (SG_IO sense decoding and task-file
#   packing), mountinfo (the mountinfo parser) or helper (the privileged
#   helper's requests over the simulated machine).
#   BUILD_DIR defaults to ${TMPDIR:-/tmp}/quillfence-fuzz/TARGET; CLANGXX
#   picks the compiler (default clang++).
set -euo pipefail

if [[ $# -lt 2 || $# -gt 3 || ! $2 =~ ^[0-9]+$ ]]; then
  echo "usage: $0 smart|fleet|sense|mountinfo|helper SECONDS [BUILD_DIR]" >&2
  exit 2
fi
target=$1
seconds=$2
root=$(cd "$(dirname "$0")/.." && pwd)
build=${3:-${TMPDIR:-/tmp}/quillfence-fuzz/$target}
cxx=${CLANGXX:-clang++}
if ! command -v "$cxx" >/dev/null; then
  echo "$0: $cxx not found: install clang and libclang-rt-14-dev (scripts/setup-deps.sh test)" >&2
  exit 1
fi

rm -rf "$build/seeds"
mkdir -p "$build/corpus" "$build/seeds"
common=(-std=c++17 -g -O1 -I"$root")
sanitizers=(-fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all)
options=()

case $target in
  smart)
    sources=("$root"/smart/core/*.cpp "$root/common/TextLookup.cpp" "$root/tests/fuzz/SmartFuzzTarget.cpp")
    "$cxx" "${common[@]}" \
      "$root/smart/samples/SmartSamples.cpp" "$root/tests/fuzz/WriteSmartSeeds.cpp" \
      -o "$build/write-smart-seeds"
    "$build/write-smart-seeds" "$build/seeds"
    ;;
  fleet)
    # The simulated backend as the program builds it on Linux.
    sources=("$root"/disk/simulated/{AtaSectors,DeviceLog,Fleet,NvmeData,RegularFilePosix,Sha256,SimulatedDrive,SimulatedErrorsPosix,SimulatedStorage}.cpp
             "$root"/disk/{BusTypes,DevicePath}.cpp "$root/tests/fuzz/FleetFuzzTarget.cpp")
    common+=(-DQUILLFENCE_FUZZ_DATA_DIR="\"$root/data\"")
    cp "$root"/data/*.json "$build/seeds/"
    options+=(-dict="$root/tests/fuzz/fleet.dict")
    ;;
  sense)
    sources=("$root/disk/linux/LinuxSgIo.cpp" "$root/disk/AtaSense.cpp" "$root/tests/fuzz/SenseFuzzTarget.cpp")
    ;;
  mountinfo)
    sources=("$root/disk/linux/MountInfo.cpp" "$root/tests/fuzz/MountInfoFuzzTarget.cpp")
    # This machine's own mount table besides the fixed seeds.
    cp /proc/self/mountinfo "$build/seeds/this-machine" 2>/dev/null || true
    ;;
  helper)
    sources=("$root"/disk/simulated/{AtaSectors,DeviceLog,Fleet,NvmeData,RegularFilePosix,Sha256,SimulatedDrive,SimulatedErrorsPosix,SimulatedStorage}.cpp
             "$root"/disk/{BusTypes,DevicePath}.cpp "$root/disk/helper/HelperProtocol.cpp"
             "$root"/helper/{CommandPolicy,HelperServer}.cpp "$root/tests/fuzz/HelperFuzzTarget.cpp")
    ;;
  *)
    echo "$0: unknown target $target" >&2
    exit 2
    ;;
esac

"$cxx" "${common[@]}" "${sanitizers[@]}" "${sources[@]}" -o "$build/$target-fuzz"

# New inputs go to the first directory only; the seeds are just read.
fixed=()
[[ -d $root/tests/fuzz/seeds/$target ]] && fixed=("$root/tests/fuzz/seeds/$target")
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
"$build/$target-fuzz" -max_total_time="$seconds" -timeout=10 -artifact_prefix="$build/" "${options[@]}" \
  "$build/corpus" "$build/seeds" "${fixed[@]}"
