#pragma once
// Which language the user interface speaks. Chinese is the source language:
// it is shown when the user's first language is Chinese, and in the C/POSIX
// locale (tests, scripts, services); English for any other language. The
// user's choice (跟随系统 / 中文 / English) overrides this. The window and
// quillfence-cli follow the same rule.

#include <string>

namespace texts {

enum class Language { Chinese, English };
enum class LanguageChoice { System, Chinese, English };
// The user's choice, kept in the user settings (files/UserSettings.h) under
// this key as choiceName() writes it.
constexpr const char* kLanguageSetting = "language";

// The language of a locale as the C library's message catalogues pick it:
// the first of LC_ALL, LC_MESSAGES and LANG that is set decides the locale;
// when it is C or POSIX (or nothing is set) that is Chinese and LANGUAGE is
// not looked at; otherwise the first entry of LANGUAGE, when set, comes
// before it. "zh…" is Chinese, anything else English. Null pointers are
// variables that are not set.
Language localeLanguage(const char* language, const char* lcAll, const char* lcMessages, const char* lang);
// localeLanguage() of this process's environment.
Language systemLanguage();
// The language shown for a choice.
Language shownLanguage(LanguageChoice choice);

// The choice as the settings file keeps it ("system", "zh", "en") and back;
// anything else is System.
std::string choiceName(LanguageChoice choice);
LanguageChoice choiceOfName(const std::string& name);

}  // namespace texts
