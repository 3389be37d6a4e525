#!/usr/bin/env bash
# Extracts every marked text of the programs (tr(), QT_TR_NOOP,
# QT_TRANSLATE_NOOP and the Qt-free code's QF_TEXT) into the translation
# file translations/quillfence_en.ts, keeping the translations it has and
# dropping texts that are gone. Run it after changing a user-visible text,
# then translate what it marks unfinished (Qt Linguist, or by hand).
# Usage: update-translations.sh [TS_FILE]   (default translations/quillfence_en.ts)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
ts=${1:-$root/translations/quillfence_en.ts}
cd "$root"
lupdate -silent -recursive -I "$root" -no-obsolete -locations none -source-language zh_CN -target-language en \
  -tr-function-alias QT_TRANSLATE_NOOP+=QF_TEXT \
  app cli common disk files firmware helper history pages smart widgets worker \
  -ts "$ts"
