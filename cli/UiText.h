#pragma once
// The texts quillfence-cli prints, in the language of the user interface:
// English or Chinese as the window chooses it (common/UiLanguage.h), from the
// user's setting "language" or else the locale, decided once, at the first
// text. Only the text output is translated: the JSON output keeps the Chinese
// texts, whatever the language, because scripts read them.
//
//     printOut(uiText("cli", QF_TEXT("cli", "剩余寿命")) + ' ' + ...);
//     printOut(texts::fill(uiText("cli", QF_TEXT("cli", "物理磁盘%1")), {std::to_string(n)}));
//
// Templates are filled with texts::fill (common/TextLookup.h).

#include "common/UiLanguage.h"

#include <string>

// The language of the text output.
texts::Language cliLanguage();

// `text` (Chinese, marked with QF_TEXT under `context`) in the language of
// the text output; Chinese where the translation file has no English for it.
std::string uiText(const char* context, const std::string& text);

