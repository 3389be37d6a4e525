#include "files/UserFolders.h"

#include <cstdlib>

namespace files {
namespace {

// An XDG folder: the variable when it holds an absolute path (a relative one
// is to be ignored), else `fallback` under $HOME.
std::optional<std::filesystem::path> xdgFolder(const char* variable, const char* fallback)
{
    if (const char* named = std::getenv(variable); named && named[0] == '/')
        return std::filesystem::path(named) / "quillfence";
    const char* home = std::getenv("HOME");
    if (!home || home[0] != '/')
        return std::nullopt;
    return std::filesystem::path(home) / fallback / "quillfence";
}

}  // namespace

std::optional<std::filesystem::path> userConfigFolder()
{
    return xdgFolder("XDG_CONFIG_HOME", ".config");
}

std::optional<std::filesystem::path> userDataFolder()
{
    return xdgFolder("XDG_DATA_HOME", ".local/share");
}

}  // namespace files
