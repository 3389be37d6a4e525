#pragma once
// The texts quillfence-cli prints, in the language of the user interface:
// English or Chinese as the window chooses it (common/UiLanguage.h), from the
// user's setting "language" or else the locale, decided once, at the first
// text. Only the text output is translated: the JSON output keeps the Chinese
// texts, whatever the language, because scripts read them.
//
//     printOut(uiText("cli", QF_TEXT("cli", "剩余寿命")) + ' ' + ...);
//     printOut(uiTextArg(uiText("cli", QF_TEXT("cli", "物理磁盘%1")), {std::to_string(n)}));

#include "common/UiLanguage.h"

#include <initializer_list>
#include <string>

// The language of the text output.
texts::Language cliLanguage();

// `text` (Chinese, marked with QF_TEXT under `context`) in the language of
// the text output; Chinese where the translation file has no English for it.
std::string uiText(const char* context, const std::string& text);

// `tmpl` with %1 … %9 replaced by the arguments, in one pass: an argument's
// own "%1" stays as it is. A placeholder without its argument stays too.
std::string uiTextArg(std::string tmpl, std::initializer_list<std::string> args);
