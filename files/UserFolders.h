#pragma once
// The user's own folders for the program, as the desktop names them, found
// without Qt so that the window and quillfence-cli agree: on Linux
// $XDG_CONFIG_HOME/quillfence and $XDG_DATA_HOME/quillfence (by default
// ~/.config/quillfence and ~/.local/share/quillfence), on Windows
// %LOCALAPPDATA%\quillfence for both, where Qt's standard locations lie.

#include <filesystem>
#include <optional>

namespace files {

// Nothing when the environment names no home for them.
std::optional<std::filesystem::path> userConfigFolder();
std::optional<std::filesystem::path> userDataFolder();

}  // namespace files
