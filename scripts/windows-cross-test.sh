#!/usr/bin/env bash
# Cross-builds the Qt-free part (disk layer, SMART core, their tests and
# quillfence-cli) for 64-bit Windows with MinGW-w64 and runs it under Wine:
#   - each test program passes, with the same outcome per test as the Linux
#     build's program;
#   - quillfence-cli on the demo fleet prints what the Linux CLI prints;
#   - quillfence-cli list --json on Wine's own devices runs to its end.
# Usage: windows-cross-test.sh WORK_DIR LINUX_CLI LINUX_DISK_TESTS LINUX_SMART_TESTS
# Exits 77 (skipped) when the MinGW-w64 compiler or Wine is not installed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
[ $# -eq 4 ] || { sed -n '2,9p' "$0" >&2; exit 2; }
work=$1 linux_cli=$2 linux_disk_tests=$3 linux_smart_tests=$4

for tool in x86_64-w64-mingw32-g++-posix wine wineboot wineserver; do
  command -v "$tool" >/dev/null || { echo "$tool is not installed: skipped"; exit 77; }
done

toolchain=$root/cmake/mingw-w64-x86_64.cmake
deps=$work/deps      # GoogleTest and the JSON headers for the MinGW compiler
build=$work/build
mkdir -p "$work"
step() { printf '== %s (%ds)\n' "$*" "$SECONDS"; }
# Runs a command, showing its output only when it fails.
quietly() { "$@" >"$work/step.log" 2>&1 || { cat "$work/step.log"; return 1; }; }

step "GoogleTest for MinGW, from the googletest source package"
if [ ! -f "$deps/lib/cmake/GTest/GTestConfig.cmake" ]; then
  quietly cmake -S /usr/src/googletest -B "$work/googletest" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$deps" -DBUILD_GMOCK=OFF \
    -Dgtest_disable_pthreads=ON
  quietly cmake --build "$work/googletest" -j2 --target install
fi
# The JSON library is header-only; its package files are copied beside a link
# to its headers so that /usr/include never reaches the MinGW compiler.
mkdir -p "$deps/include" "$deps/share/cmake/nlohmann_json"
ln -sfn /usr/include/nlohmann "$deps/include/nlohmann"
cp /usr/share/cmake/nlohmann_json/*.cmake "$deps/share/cmake/nlohmann_json/"

step "Cross build"
# Without optimisation (build type None: no flags), as the Linux test tree is
# built: it compiles in half the time, and the comparison with the Linux
# build's outcomes is the same.
quietly cmake -S "$root" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_FIND_ROOT_PATH="$deps" \
  -DCMAKE_BUILD_TYPE=None -DQUILLFENCE_GUI=OFF -DQUILLFENCE_HISTORY=OFF \
  -DCMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE=PRE_TEST
quietly cmake --build "$build" -j2 --target disk_tests quillfence_smart_tests windows_tests quillfence-cli

step "Wine prefix"
export WINEPREFIX=$work/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
# The wine server outlives its programs; it must not hold the test's output open.
trap 'wineserver -k 2>/dev/null || true' EXIT
[ -f "$WINEPREFIX/system.reg" ] || wineboot -i </dev/null >/dev/null 2>&1
# Wine's programs write CR LF line ends.
run_wine() { wine "$@" </dev/null | tr -d '\r'; }

# The full names of the tests in a GoogleTest program's listing.
test_names() { awk '/^[^ ]/ { suite = $1 } /^  / { print suite $1 }'; }
# "OK name" or "FAILED name" for each test that ran.
outcomes() { sed -n 's/^\[ *\(OK\|FAILED\|SKIPPED\) *\] \([^ ,]*\) (.*/\1 \2/p' | sort -u; }

failed=0
compare_tests() {  # name windows_program linux_program
  local name=$1 windows=$2 linux=$3 status=0
  step "$name under Wine"
  # Standard error apart: its unbuffered lines would land inside the outcome lines.
  run_wine "$windows" >"$work/$name.windows.log" 2>"$work/$name.windows.err" || status=$?
  tail -n 3 "$work/$name.windows.log"
  if [ "$status" -ne 0 ]; then
    grep -F '[  FAILED  ]' "$work/$name.windows.log" || true
    echo "FAIL: $name exited with $status under Wine"; failed=1; return
  fi
  # The Linux program runs the same tests; the Linux backend's own are not in the Windows build.
  local filter
  filter=$(run_wine "$windows" --gtest_list_tests | test_names | paste -sd:)
  "$linux" --gtest_filter="$filter" >"$work/$name.linux.log" 2>/dev/null || true
  if ! diff <(outcomes <"$work/$name.linux.log") <(outcomes <"$work/$name.windows.log") >"$work/$name.diff"; then
    cat "$work/$name.diff"; echo "FAIL: $name: outcomes differ from the Linux build's"; failed=1
  else
    echo "$(outcomes <"$work/$name.windows.log" | wc -l) outcomes as in the Linux build"
  fi
}
compare_tests disk_tests "$build/tests/disk/disk_tests.exe" "$linux_disk_tests"
compare_tests smart_tests "$build/tests/smart/quillfence_smart_tests.exe" "$linux_smart_tests"

step "windows_tests under Wine"
run_wine "$build/tests/windows/windows_tests.exe" >"$work/windows_tests.log" 2>&1 \
  || { cat "$work/windows_tests.log"; echo "FAIL: windows_tests"; failed=1; }
tail -n 1 "$work/windows_tests.log"

# The demo fleet through both CLIs: the same output and exit code. Wine reaches
# the Unix file system through drive Z:.
fleet=$root/data/demo-fleet.json
while read -r arguments; do
  step "quillfence-cli $arguments on the demo fleet"
  linux_status=0 windows_status=0
  # Both speak the language of the same locale: the Linux CLI is kept from the
  # user's own settings (their language), as the new Wine prefix has none.
  # shellcheck disable=SC2086 # the arguments are words
  XDG_CONFIG_HOME=$work/no-user-settings QUILLFENCE_DEVICES=$fleet "$linux_cli" $arguments >"$work/cli.linux.out" 2>/dev/null || linux_status=$?
  # shellcheck disable=SC2086
  QUILLFENCE_DEVICES=Z:$fleet run_wine "$build/cli/quillfence-cli.exe" $arguments >"$work/cli.windows.out" 2>/dev/null \
    || windows_status=$?
  if ! diff "$work/cli.linux.out" "$work/cli.windows.out" || [ "$linux_status" -ne "$windows_status" ]; then
    echo "FAIL: quillfence-cli $arguments: exit $windows_status under Wine, $linux_status on Linux"; failed=1
  fi
done <<'COMMANDS'
list --json
list
smart 7 --json
smart 14
smart --all --json
metrics
smart 17 --json
COMMANDS

# Wine's own devices through the Windows backend: whatever it offers, the run
# must end normally (0, or 1 when the system disk cannot be determined) with
# one JSON object.
step "quillfence-cli list --json on Wine's devices"
status=0
env -u QUILLFENCE_DEVICES wine "$build/cli/quillfence-cli.exe" list --json </dev/null \
  >"$work/cli.wine.out" 2>"$work/cli.wine.err" || status=$?
tr -d '\r' <"$work/cli.wine.out"; tr -d '\r' <"$work/cli.wine.err"
echo "exit code $status"
if [ "$status" -gt 1 ] || grep -q '^wine: Unhandled' "$work/cli.wine.err" ||
   ! tr -d '\r' <"$work/cli.wine.out" | grep -q '^{"json_format_version":1,.*"disks":\[.*\]}$'; then
  echo "FAIL: the listing of Wine's devices did not end normally"; failed=1
fi

step "done"
exit "$failed"
