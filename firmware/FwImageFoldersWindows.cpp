#include "firmware/FwImageFolders.h"

#include "firmware/ExecutableDirectory.h"

// On Windows the images stay beside the program, where its installer puts them.
std::vector<std::string> FwImageFolders()
{
    std::string program = ExecutableDirectory();
    if (program.empty())
        return {};
    return {std::move(program)};
}
