// The user's settings file: one key=value line each, shared by the window
// and the CLI, in the folder $XDG_CONFIG_HOME names.
#include "files/UserFolders.h"
#include "files/UserSettings.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

namespace {

class UserSettingsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        home = fs::path(testing::TempDir()) / "settings-home";
        fs::remove_all(home);
        ::setenv("XDG_CONFIG_HOME", home.c_str(), 1);
    }
    void TearDown() override { fs::remove_all(home); }
    std::string fileText() const
    {
        std::ifstream in(home / "quillfence" / "settings");
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    fs::path home;
};

TEST_F(UserSettingsTest, KeysAreKeptSideBySideAndReplacedOneByOne)
{
    ASSERT_EQ(files::userConfigFolder(), home / "quillfence");
    EXPECT_EQ(files::readUserSetting("interval"), std::nullopt) << "no file yet";
    ASSERT_TRUE(files::writeUserSetting("interval", "3600"));
    ASSERT_TRUE(files::writeUserSetting("language", "en"));
    ASSERT_TRUE(files::writeUserSetting("interval", "900"));
    EXPECT_EQ(files::readUserSetting("interval"), "900");
    EXPECT_EQ(files::readUserSetting("language"), "en");
    EXPECT_EQ(files::readUserSetting("missing"), std::nullopt);
    EXPECT_EQ(fileText(), "interval=900\nlanguage=en\n");
}

TEST_F(UserSettingsTest, WhatCannotBeOneLineIsRefusedAndOddLinesAreSkipped)
{
    for (const auto& [key, value] : {std::pair<std::string, std::string>{"a=b", "1"}, {"", "1"}, {"key", "two\nlines"},
                                     {"key\n", "1"}})
        EXPECT_FALSE(files::writeUserSetting(key, value)) << key;
    fs::create_directories(home / "quillfence");
    std::ofstream(home / "quillfence" / "settings") << "no equals sign\r\n=nameless\r\nshow=1\r\n";
    EXPECT_EQ(files::readUserSetting("show"), "1") << "a Windows line end";
    EXPECT_EQ(files::readUserSetting(""), std::nullopt);
    ::setenv("XDG_CONFIG_HOME", "relative/folder", 1);
    ::setenv("HOME", home.c_str(), 1);
    EXPECT_EQ(files::userConfigFolder(), home / ".config" / "quillfence") << "a relative XDG folder is ignored";
}

}  // namespace
