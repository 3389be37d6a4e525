// A test build's helper: as installed, unless a test names another launcher
// or helper, or the build tree holds one.

#include "disk/helper/HelperLaunch.h"

#include <cstdlib>
#include <filesystem>
#include <sstream>

namespace {
// Test aids: the program that starts the privileged helper instead of
// pkexec (split at spaces), and the helper program to start.
constexpr const char* kHelperLauncherVariable = "QUILLFENCE_HELPER_LAUNCHER";
constexpr const char* kHelperVariable = "QUILLFENCE_HELPER";
}  // namespace

std::vector<std::string> helperLauncher()
{
    const char* named = std::getenv(kHelperLauncherVariable);
    if (!named || !*named)
        return {"/usr/bin/pkexec"};
    std::vector<std::string> words;
    std::istringstream text(named);
    for (std::string word; text >> word;)
        words.push_back(word);
    return words;
}

// The one QUILLFENCE_HELPER names, the one of the build tree beside this
// program's folder, else the installed one.
std::string helperProgram()
{
    if (const char* named = std::getenv(kHelperVariable); named && *named)
        return named;
    std::error_code error;
    const auto program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error) {
        const auto built = program.parent_path().parent_path() / "helper" / "quillfence-helper";
        if (std::filesystem::is_regular_file(built, error))
            return built.string();
    }
    return QUILLFENCE_HELPER_PATH;
}
