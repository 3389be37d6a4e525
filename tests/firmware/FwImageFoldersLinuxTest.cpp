// The folders searched for firmware images on Linux: the program's own, the
// installed program's system data folder, then the user's data folder as the
// XDG base directories define it.

#include "firmware/ExecutableDirectory.h"
#include "firmware/FwImageFolders.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace {

// Sets or unsets an environment variable for the life of the object.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const char* value) : name_(name)
    {
        if (const char* old = std::getenv(name))
            old_ = old;
        value ? setenv(name, value, 1) : unsetenv(name);
    }
    ~ScopedVariable() { old_ ? setenv(name_, old_->c_str(), 1) : unsetenv(name_); }

private:
    const char* name_;
    std::optional<std::string> old_;
};

struct FolderCase {
    const char* xdgDataHome;  // nullptr: unset
    const char* home;
    const char* userFolder;   // nullptr: no user folder
};

const FolderCase kCases[] = {
    {"/data/home", "/home/ann", "/data/home/quillfence"},
    {nullptr, "/home/ann", "/home/ann/.local/share/quillfence"},
    {"", "/home/ann", "/home/ann/.local/share/quillfence"},
    {"relative/data", "/home/ann", "/home/ann/.local/share/quillfence"},  // relative paths are ignored
    {nullptr, nullptr, nullptr},
    {nullptr, "relative", nullptr},
};

TEST(FwImageFolders, ProgramSystemThenUserDataFolder)
{
    for (const FolderCase& c : kCases) {
        ScopedVariable xdg("XDG_DATA_HOME", c.xdgDataHome);
        ScopedVariable home("HOME", c.home);
        std::vector<std::string> expected = {ExecutableDirectory(), QUILLFENCE_EXPECTED_DATADIR};
        if (c.userFolder)
            expected.push_back(c.userFolder);
        EXPECT_EQ(FwImageFolders(), expected) << "case " << &c - kCases;
    }
}

}  // namespace
