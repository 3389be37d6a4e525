#!/usr/bin/env bash
# quillfence-cli as a user without device rights: it starts the helper
# through the launcher QUILLFENCE_HELPER_LAUNCHER names (here `env`, which
# hands the simulated fleet to quillfence-helper-sim), and prints exactly
# what the simulated machine read directly gives; a launcher that refuses
# (`false`) gives the message about the administrator's password and exit 1.
# Run as root, the user is "nobody" (setpriv); skipped (77) without setpriv.
# That user may not enter the clone or the build tree (a home folder of mode
# 0750, a private temporary folder): the programs and all they read are
# copied into a folder of its own under /tmp, which everyone may enter, and
# run from there.
set -u
cli=$1 helper=$2 fleet=$3

as_user=()
if [ "$(id -u)" = 0 ]; then
  command -v setpriv >/dev/null || { echo "SKIP: setpriv is not installed"; exit 77; }
  as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
fi
work=$(mktemp -d /tmp/quillfence-helper-cli.XXXXXX)
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"
install -m 755 "$cli" "$work/quillfence-cli"
install -m 755 "$helper" "$work/quillfence-helper-sim"
install -m 644 "$fleet" "$work/fleet.json"
cli=$work/quillfence-cli helper=$work/quillfence-helper-sim
cd "$work"

failures=0
check() { if eval "$2"; then echo "ok: $1"; else echo "FAILED: $1"; failures=$((failures + 1)); fi; }
through_helper() {
  "${as_user[@]}" env -u QUILLFENCE_DEVICES HOME="$work" \
    QUILLFENCE_HELPER_LAUNCHER="env QUILLFENCE_DEVICES=$work/fleet.json" QUILLFENCE_HELPER="$helper" "$cli" "$@"
}

for args in "list --json" "smart 9 --json" "list"; do
  QUILLFENCE_DEVICES=$work/fleet.json "$cli" $args >"$work/direct" 2>/dev/null
  direct_status=$?
  through_helper $args >"$work/helper" 2>"$work/helper.err"
  helper_status=$?
  check "$args through the helper prints what the direct read prints" 'cmp -s "$work/direct" "$work/helper"'
  check "$args exits as the direct read does ($direct_status, $helper_status)" '[ $direct_status = $helper_status ]'
done
check "the output is not empty" '[ -s "$work/direct" ]'

"${as_user[@]}" env -u QUILLFENCE_DEVICES QUILLFENCE_HELPER_LAUNCHER=false QUILLFENCE_HELPER="$helper" \
  "$cli" list >"$work/out" 2>"$work/err"
status=$?
check "a refused authorisation exits 1 (got $status)" '[ $status = 1 ]'
check "and says that the administrator's password is needed" 'grep -q "administrator.s password" "$work/err"'

[ $failures = 0 ]
