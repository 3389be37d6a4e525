#include "firmware/FwImageFolders.h"

#include "firmware/ExecutableDirectory.h"

#include <cstdlib>

namespace {

// An environment variable that names an absolute path; relative ones are
// ignored, as the XDG base directories say.
const char* absolutePathVariable(const char* name)
{
    const char* value = std::getenv(name);
    return value && value[0] == '/' ? value : nullptr;
}

}  // namespace

// The program's folder; the system's data folder of the installed program
// (QUILLFENCE_DATADIR, e.g. /usr/share/quillfence); the user's data folder,
// where images can be put without administrator rights ($XDG_DATA_HOME/
// quillfence, by default ~/.local/share/quillfence).
std::vector<std::string> FwImageFolders()
{
    std::vector<std::string> folders;
    if (std::string program = ExecutableDirectory(); !program.empty())
        folders.push_back(std::move(program));
    folders.emplace_back(QUILLFENCE_DATADIR);
    if (const char* dataHome = absolutePathVariable("XDG_DATA_HOME"))
        folders.push_back(std::string(dataHome) + "/quillfence");
    else if (const char* home = absolutePathVariable("HOME"))
        folders.push_back(std::string(home) + "/.local/share/quillfence");
    return folders;
}
