#include "common/UiLanguage.h"

#include <cstdlib>

namespace texts {
namespace {

bool isSet(const char* value)
{
    return value && *value;
}

// "C", "POSIX", "C.UTF-8", "POSIX.UTF-8": the locale of no language.
bool isPlainLocale(const std::string& name)
{
    for (const char* plain : {"C", "POSIX"}) {
        const std::string prefix = plain;
        if (name == prefix || name.rfind(prefix + ".", 0) == 0 || name.rfind(prefix + "@", 0) == 0)
            return true;
    }
    return false;
}

Language languageOfName(const std::string& name)
{
    if (name.empty() || isPlainLocale(name) || name.rfind("zh", 0) == 0)
        return Language::Chinese;
    return Language::English;
}

}  // namespace

Language localeLanguage(const char* language, const char* lcAll, const char* lcMessages, const char* lang)
{
    std::string locale;
    for (const char* value : {lcAll, lcMessages, lang}) {
        if (isSet(value)) {
            locale = value;
            break;
        }
    }
    if (locale.empty() || isPlainLocale(locale))
        return Language::Chinese;
    if (isSet(language)) {
        const std::string list = language;
        size_t start = 0;
        while (start <= list.size()) {
            const size_t end = list.find(':', start);
            const std::string entry = list.substr(start, end == std::string::npos ? std::string::npos : end - start);
            if (!entry.empty())
                return languageOfName(entry);
            if (end == std::string::npos)
                break;
            start = end + 1;
        }
    }
    return languageOfName(locale);
}

Language systemLanguage()
{
    return localeLanguage(std::getenv("LANGUAGE"), std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"),
                          std::getenv("LANG"));
}

Language shownLanguage(LanguageChoice choice)
{
    switch (choice) {
    case LanguageChoice::Chinese:
        return Language::Chinese;
    case LanguageChoice::English:
        return Language::English;
    case LanguageChoice::System:
        break;
    }
    return systemLanguage();
}

std::string choiceName(LanguageChoice choice)
{
    switch (choice) {
    case LanguageChoice::Chinese:
        return "zh";
    case LanguageChoice::English:
        return "en";
    case LanguageChoice::System:
        break;
    }
    return "system";
}

LanguageChoice choiceOfName(const std::string& name)
{
    if (name == "zh")
        return LanguageChoice::Chinese;
    if (name == "en")
        return LanguageChoice::English;
    return LanguageChoice::System;
}

}  // namespace texts
