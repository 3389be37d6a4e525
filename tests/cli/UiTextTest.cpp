// quillfence-cli's English: the table made from a translation file, the
// look-up with its fall-back to the Chinese source, the placeholders, and the
// language chosen from the user's setting and the locale.
#include "RunCommand.h"
#include "cli/UiText.h"
#include "cli/UiTextTable.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace {

// The table of tests/cli/ui-text-fixture.ts.
TEST(UiTextTable, HoldsWhatTheWindowsCompiledFileHolds)
{
    const UiTextTable table = englishTexts();
    struct Case {
        const char* context;
        const char* source;
        const char* english;  // nullptr: the Chinese source is shown
    };
    const Case cases[] = {
        {"smart", "剩余寿命", "Remaining life"},
        {"cli", "剩余寿命", "Life left"},  // the same text in another context
        {"cli", "健康指标", "Health"},
        {"smart", "良好", "Good"},           // unfinished but translated: lrelease keeps it
        {"smart", "警告", nullptr},          // unfinished and empty
        {"smart", "旧文本", nullptr},        // obsolete
        {"smart", "消失的文本", nullptr},    // vanished
        {"smart", "%n 个磁盘", nullptr},     // plural forms: not for the CLI
        {"smart", "状态", nullptr},          // a disambiguated text: not for the CLI
        {"smart", "%1由%2增至%3", "%1 rose from %2 to %3"},
        {"smart", "引号\"与\\反斜杠\n换行\?\?=", "Quote \" and \\ backslash\nnew line\?\?="},
        {"firmware", "剩余寿命", nullptr},   // no such context
        {"smart", "剩余", nullptr},          // a prefix of a source is not it
        {"smart", "剩余寿命 ", nullptr},
        {"", "", nullptr},
    };
    for (const Case& c : cases) {
        const char* found = findText(table, c.context, c.source);
        if (!c.english)
            EXPECT_EQ(found, nullptr) << c.context << " / " << c.source << ": " << (found ? found : "");
        else
            EXPECT_STREQ(found, c.english) << c.context << " / " << c.source;
    }
    EXPECT_EQ(table.count, 6u) << "only the translated texts are in the table";
    for (size_t i = 1; i < table.count; ++i) {
        const UiTextEntry& a = table.entries[i - 1];
        const UiTextEntry& b = table.entries[i];
        const int byContext = std::string(a.context).compare(b.context);
        EXPECT_TRUE(byContext < 0 || (byContext == 0 && std::string(a.source) < b.source)) << "sorted at " << i;
    }
    EXPECT_EQ(findText(UiTextTable{nullptr, 0}, "smart", "剩余寿命"), nullptr) << "an empty translation file";
}

// The probe prints uiText("smart", TEXT) as the CLI would in the environment given.
std::string shown(const std::string& environment, const std::string& text, const std::string& setting = "")
{
    const std::string home = testing::TempDir() + "ui-text-home";
    std::filesystem::remove_all(home);
    if (!setting.empty()) {
        std::filesystem::create_directories(home + "/quillfence");
        std::ofstream(home + "/quillfence/settings") << "watch-interval=900\nlanguage=" << setting << "\n";
    }
    const CommandRun run = runCommand("env -u LANGUAGE -u LC_ALL -u LC_MESSAGES -u LANG XDG_CONFIG_HOME='" + home +
                                      "' " + environment + " '" UI_TEXT_PROBE "' smart '" + text + "'");
    EXPECT_EQ(run.exitCode, 0) << environment;
    return run.out;
}

TEST(UiTextLanguage, TheSettingOverridesTheLocale)
{
    struct Case {
        const char* environment;
        const char* setting;  // "": no settings file
        const char* expected;
    };
    const Case cases[] = {
        {"", "", "剩余寿命\n"},
        {"LANG=C", "", "剩余寿命\n"},
        {"LANG=zh_CN.UTF-8", "", "剩余寿命\n"},
        {"LANG=en_US.UTF-8", "", "Remaining life\n"},
        {"LANG=de_DE.UTF-8", "", "Remaining life\n"},
        {"LANG=C", "en", "Remaining life\n"},
        {"LANG=en_US.UTF-8", "zh", "剩余寿命\n"},
        {"LANG=en_US.UTF-8", "system", "Remaining life\n"},
        {"LANG=zh_CN.UTF-8", "system", "剩余寿命\n"},
        {"LANG=C", "klingon", "剩余寿命\n"},  // a value it does not know follows the system
    };
    for (const Case& c : cases)
        EXPECT_EQ(shown(c.environment, "剩余寿命", c.setting), c.expected)
            << c.environment << ", setting " << c.setting;
}

TEST(UiTextLanguage, AnUntranslatedTextStaysChineseInEnglish)
{
    EXPECT_EQ(shown("LANG=en_US.UTF-8", "警告"), "警告\n");
    EXPECT_EQ(shown("LANG=en_US.UTF-8", "从未标记的文本"), "从未标记的文本\n");
    EXPECT_EQ(shown("LANG=en_US.UTF-8", "良好"), "Good\n");
}

}  // namespace
