#include "files/UserFolders.h"

#include <cstdlib>

namespace files {
namespace {

std::optional<std::filesystem::path> localAppData()
{
    const wchar_t* named = _wgetenv(L"LOCALAPPDATA");
    if (!named || !*named)
        return std::nullopt;
    return std::filesystem::path(named) / "quillfence";
}

}  // namespace

std::optional<std::filesystem::path> userConfigFolder()
{
    return localAppData();
}

std::optional<std::filesystem::path> userDataFolder()
{
    return localAppData();
}

}  // namespace files
