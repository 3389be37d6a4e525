#include "files/UserSettings.h"

#include "files/SafeFiles.h"
#include "files/UserFolders.h"

#include <map>
#include <sstream>

namespace files {
namespace {

constexpr std::size_t kMaxSettingsBytes = 64 * 1024;

std::optional<std::filesystem::path> settingsPath()
{
    const auto folder = userConfigFolder();
    if (!folder)
        return std::nullopt;
    return *folder / "settings";
}

std::map<std::string, std::string> readAll()
{
    std::map<std::string, std::string> settings;
    const auto path = settingsPath();
    const auto text = path ? readRegularFile(*path, kMaxSettingsBytes) : std::nullopt;
    if (!text)
        return settings;
    std::istringstream lines(*text);
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const auto equals = line.find('=');
        if (equals != std::string::npos && equals > 0)
            settings[line.substr(0, equals)] = line.substr(equals + 1);
    }
    return settings;
}

}  // namespace

std::optional<std::string> readUserSetting(const std::string& key)
{
    const auto settings = readAll();
    const auto found = settings.find(key);
    return found == settings.end() ? std::nullopt : std::optional<std::string>(found->second);
}

bool writeUserSetting(const std::string& key, const std::string& value)
{
    const auto path = settingsPath();
    if (!path || key.empty() || key.find_first_of("=\r\n") != std::string::npos ||
        value.find_first_of("\r\n") != std::string::npos)
        return false;
    auto settings = readAll();
    settings[key] = value;
    std::string text;
    for (const auto& [name, setting] : settings)
        text += name + '=' + setting + '\n';
    std::error_code error;
    std::filesystem::create_directories(path->parent_path(), error);
    return replaceFile(*path, text);
}

}  // namespace files
