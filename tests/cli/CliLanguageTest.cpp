// quillfence-cli's text output in the language of the user interface:
// Chinese in the C locale and for a Chinese user, English for anyone else or
// when the user chose it; the JSON output the same whatever the language.

#include "RunCommand.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

const std::string kDemo = QUILLFENCE_SOURCE_DIR "/data/demo-fleet.json";

// Runs the CLI on the demo fleet with only the locale `environment` and, when
// `setting` is not empty, the user setting language=`setting`.
CommandRun cliIn(const std::string& environment, const std::string& arguments, const std::string& setting = "")
{
    const std::string home = testing::TempDir() + "language-home";
    std::filesystem::remove_all(home);
    if (!setting.empty()) {
        std::filesystem::create_directories(home + "/quillfence");
        writeFleet("language-home/quillfence/settings", "language=" + setting + "\n");
    }
    return runCommand("env -u LANGUAGE -u LC_ALL -u LC_MESSAGES -u LANG XDG_CONFIG_HOME='" + home + "' " +
                      environment + " QUILLFENCE_DEVICES='" + kDemo + "' '" QUILLFENCE_CLI "' " + arguments +
                      " 2>/dev/null");
}

// The first line holding a Chinese character (or its punctuation), or "".
std::string firstChineseLine(const std::string& text)
{
    size_t lineStart = 0;
    for (size_t i = 0; i < text.size();) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte == '\n')
            lineStart = i + 1;
        if (byte >= 0xE0 && byte < 0xF0 && i + 2 < text.size()) {
            const unsigned codePoint = (byte & 0x0Fu) << 12 | (static_cast<unsigned char>(text[i + 1]) & 0x3Fu) << 6 |
                                       (static_cast<unsigned char>(text[i + 2]) & 0x3Fu);
            if ((codePoint >= 0x3000 && codePoint <= 0x9FFF) || (codePoint >= 0xFF00 && codePoint <= 0xFFEF))
                return text.substr(lineStart, text.find('\n', i) - lineStart);
            i += 3;
            continue;
        }
        ++i;
    }
    return "";
}

size_t lineCount(const std::string& text)
{
    return static_cast<size_t>(std::count(text.begin(), text.end(), '\n'));
}

// A maker's drive (its own catalogue) and an NVMe drive (its health log).
const char* const kSmartCommands[] = {"smart 7", "smart 17"};

TEST(CliLanguage, TheCLocaleAndAChineseUserReadTodaysChinese)
{
    for (const char* command : kSmartCommands) {
        const CommandRun plain = cliIn("LANG=C", command);
        EXPECT_NE(firstChineseLine(plain.out), "") << command << ":\n" << plain.out;
        for (const char* environment : {"", "LANG=C.UTF-8", "LANG=zh_CN.UTF-8", "LANG=en_US.UTF-8 LANGUAGE=zh_CN:en"}) {
            const CommandRun run = cliIn(environment, command);
            EXPECT_EQ(run.out, plain.out) << command << " with " << environment;
            EXPECT_EQ(run.exitCode, plain.exitCode) << command << " with " << environment;
        }
    }
    const std::string text = cliIn("LANG=C", "smart 7").out;
    EXPECT_NE(text.find("\n剩余寿命 94%\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\n健康指标 良好\n"), std::string::npos) << text;
}

TEST(CliLanguage, AnyOtherLanguageReadsEnglishOnly)
{
    for (const char* command : kSmartCommands) {
        const CommandRun chinese = cliIn("LANG=C", command);
        for (const char* environment : {"LANG=en_US.UTF-8", "LANG=de_DE.UTF-8", "LANG=C LC_ALL=en_GB.UTF-8"}) {
            const CommandRun english = cliIn(environment, command);
            EXPECT_EQ(firstChineseLine(english.out), "") << command << " with " << environment << ":\n" << english.out;
            EXPECT_EQ(lineCount(english.out), lineCount(chinese.out)) << command << ": the same rows";
            EXPECT_EQ(english.exitCode, chinese.exitCode) << command;
        }
    }
    const std::string text = cliIn("LANG=en_US.UTF-8", "smart 7").out;
    EXPECT_NE(text.find("Remaining life"), std::string::npos) << text;
    EXPECT_NE(text.find("PhysicalDrive7  QYD-M7A0-512G  (maker's drive)\n"), std::string::npos) << text;
}

TEST(CliLanguage, TheUsersChoiceOverridesTheLocale)
{
    for (const char* command : kSmartCommands) {
        const std::string chinese = cliIn("LANG=C", command).out;
        const std::string english = cliIn("LANG=en_US.UTF-8", command).out;
        EXPECT_EQ(cliIn("LANG=C", command, "en").out, english) << command;
        EXPECT_EQ(cliIn("LANG=en_US.UTF-8", command, "zh").out, chinese) << command;
        EXPECT_EQ(cliIn("LANG=en_US.UTF-8", command, "system").out, english) << command;
        EXPECT_EQ(cliIn("LANG=zh_CN.UTF-8", command, "system").out, chinese) << command;
    }
}

// Scripts read the JSON output: its format stays, Chinese texts and all.
TEST(CliLanguage, TheJsonOutputIsTheSameInEveryLanguage)
{
    for (const char* command : {"smart 7 --json", "smart 17 --json", "smart --all --json", "list --json"}) {
        const CommandRun chinese = cliIn("LANG=C", command);
        ASSERT_FALSE(chinese.out.empty()) << command;
        for (const auto& [environment, setting] : {std::pair<const char*, const char*>{"LANG=en_US.UTF-8", ""},
                                                   {"LANG=C", "en"}, {"LANG=de_DE.UTF-8", "system"}}) {
            const CommandRun other = cliIn(environment, command, setting);
            EXPECT_EQ(other.out, chinese.out) << command << " with " << environment << ", setting " << setting;
            EXPECT_EQ(other.exitCode, chinese.exitCode) << command;
        }
    }
    EXPECT_NE(cliIn("LANG=en_US.UTF-8", "smart 7 --json").out.find("\"Description\":\"剩余寿命\""), std::string::npos);
}

}  // namespace
