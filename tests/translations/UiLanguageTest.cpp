// Which language the user interface speaks for a locale, and for the user's
// choice: the same rule for the window and quillfence-cli.
#include "common/UiLanguage.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

using texts::Language;
using texts::LanguageChoice;

struct LocaleCase {
    const char* language;  // LANGUAGE; nullptr: not set
    const char* lcAll;
    const char* lcMessages;
    const char* lang;
    Language expected;
};

const LocaleCase kLocaleCases[] = {
    {nullptr, nullptr, nullptr, nullptr, Language::Chinese},  // nothing set: a service, a script
    {nullptr, nullptr, nullptr, "C", Language::Chinese},
    {nullptr, nullptr, nullptr, "POSIX", Language::Chinese},
    {nullptr, nullptr, nullptr, "C.UTF-8", Language::Chinese},
    {nullptr, nullptr, nullptr, "C.utf8", Language::Chinese},
    {nullptr, nullptr, nullptr, "zh_CN.UTF-8", Language::Chinese},
    {nullptr, nullptr, nullptr, "zh_TW.UTF-8", Language::Chinese},
    {nullptr, nullptr, nullptr, "zh", Language::Chinese},
    {nullptr, nullptr, nullptr, "en_US.UTF-8", Language::English},
    {nullptr, nullptr, nullptr, "en_GB.UTF-8", Language::English},
    {nullptr, nullptr, nullptr, "de_DE.UTF-8", Language::English},  // any other language: English
    {nullptr, nullptr, nullptr, "ca_ES.UTF-8", Language::English},  // Catalan, not the C locale
    {nullptr, nullptr, nullptr, "zu_ZA.UTF-8", Language::English},  // Zulu, not Chinese
    {"", "", "", "", Language::Chinese},                            // empty is not set
    // LANGUAGE's first entry comes first...
    {"zh_CN:en", nullptr, nullptr, "en_US.UTF-8", Language::Chinese},
    {"en:zh_CN", nullptr, nullptr, "zh_CN.UTF-8", Language::English},
    {":zh_TW:en", nullptr, nullptr, "en_US.UTF-8", Language::Chinese},  // its empty entries are skipped
    {"", nullptr, nullptr, "en_US.UTF-8", Language::English},
    // ...except in the C locale, where it is not looked at.
    {"en", nullptr, nullptr, "C", Language::Chinese},
    {"de_DE:en", nullptr, nullptr, "C.UTF-8", Language::Chinese},
    {"en", nullptr, nullptr, nullptr, Language::Chinese},
    {"en", "C", nullptr, "zh_CN.UTF-8", Language::Chinese},
    // LC_ALL, then LC_MESSAGES, then LANG.
    {nullptr, "C", nullptr, "en_US.UTF-8", Language::Chinese},
    {nullptr, "en_US.UTF-8", nullptr, "zh_CN.UTF-8", Language::English},
    {nullptr, nullptr, "zh_CN.UTF-8", "en_US.UTF-8", Language::Chinese},
    {nullptr, nullptr, "en_GB.UTF-8", "zh_CN.UTF-8", Language::English},
    {nullptr, "zh_CN.UTF-8", "en_GB.UTF-8", "en_US.UTF-8", Language::Chinese},
    {nullptr, "", "en_GB.UTF-8", "C", Language::English},
};

std::string describe(const LocaleCase& c)
{
    auto value = [](const char* v) { return v ? "\"" + std::string(v) + "\"" : std::string("unset"); };
    return "LANGUAGE=" + value(c.language) + " LC_ALL=" + value(c.lcAll) + " LC_MESSAGES=" + value(c.lcMessages) +
           " LANG=" + value(c.lang);
}

void setOrUnset(const char* name, const char* value)
{
    if (value)
        ::setenv(name, value, 1);
    else
        ::unsetenv(name);
}

TEST(UiLanguage, EachLocaleSpeaksItsLanguage)
{
    for (const LocaleCase& c : kLocaleCases)
        EXPECT_EQ(texts::localeLanguage(c.language, c.lcAll, c.lcMessages, c.lang), c.expected) << describe(c);
}

// The same cases read from this process's environment, and with each choice.
TEST(UiLanguage, TheSystemIsTheEnvironmentAndAChoiceOverridesIt)
{
    for (const LocaleCase& c : kLocaleCases) {
        setOrUnset("LANGUAGE", c.language);
        setOrUnset("LC_ALL", c.lcAll);
        setOrUnset("LC_MESSAGES", c.lcMessages);
        setOrUnset("LANG", c.lang);
        EXPECT_EQ(texts::systemLanguage(), c.expected) << describe(c);
        EXPECT_EQ(texts::shownLanguage(LanguageChoice::System), c.expected) << describe(c);
        EXPECT_EQ(texts::shownLanguage(LanguageChoice::Chinese), Language::Chinese) << describe(c);
        EXPECT_EQ(texts::shownLanguage(LanguageChoice::English), Language::English) << describe(c);
    }
}

TEST(UiLanguage, TheChoiceIsKeptByItsName)
{
    const std::pair<LanguageChoice, const char*> names[] = {
        {LanguageChoice::System, "system"}, {LanguageChoice::Chinese, "zh"}, {LanguageChoice::English, "en"}};
    for (const auto& [choice, name] : names) {
        EXPECT_EQ(texts::choiceName(choice), name);
        EXPECT_EQ(texts::choiceOfName(name), choice) << name;
    }
    for (const char* unknown : {"", "EN", "english", "zh_CN", "en\n", " en"})
        EXPECT_EQ(texts::choiceOfName(unknown), LanguageChoice::System) << '"' << unknown << '"';
}

}  // namespace
