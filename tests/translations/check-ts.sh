#!/usr/bin/env bash
# The translation file is what scripts/update-translations.sh makes from the
# sources (no text added, changed or removed since it was last run), and every
# text in it has its English: no unfinished, obsolete or vanished entry.
# Usage: check-ts.sh SOURCE_DIR WORK_DIR
set -euo pipefail
root=$1 work=$2
ts=$root/translations/quillfence_en.ts
mkdir -p "$work"
fresh=$work/quillfence_en.ts
cp "$ts" "$fresh"
"$root/scripts/update-translations.sh" "$fresh" >"$work/lupdate.log" 2>&1 || { cat "$work/lupdate.log"; exit 1; }
failed=0
if ! diff -u "$ts" "$fresh" >"$work/ts.diff"; then
  head -n 200 "$work/ts.diff"
  echo "FAIL: translations/quillfence_en.ts is not what scripts/update-translations.sh makes from the sources:"
  echo "      run it, translate what it marks unfinished and commit the file"
  failed=1
fi
for state in unfinished obsolete vanished; do
  count=$(grep -c "type=\"$state\"" "$ts" || true)
  if [ "$count" -gt 0 ]; then
    echo "FAIL: $count $state entries in translations/quillfence_en.ts, the first of them:"
    grep -B 2 "type=\"$state\"" "$ts" | grep -o '<source>.*' | head -n 10
    failed=1
  fi
done
[ "$failed" -eq 0 ] && echo "translations/quillfence_en.ts: up to date, $(grep -c '<message' "$ts") texts, all translated"
exit "$failed"
