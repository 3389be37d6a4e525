#include "common/ProgramInfo.h"

#include "QuillfenceVersion.h"

#include <cstdio>
#include <cstring>

std::string versionText(const std::string& program)
{
    return program + " " + kQuillfenceVersion +
           "\n"
           "License GPL-3.0-or-later: GNU GPL version 3 or later <https://gnu.org/licenses/gpl.html>.\n"
           "This is free software: you are free to change and redistribute it.\n"
           "There is NO WARRANTY, to the extent permitted by law.\n";
}

std::optional<int> answerHelpOrVersion(int argc, const char* const* argv, const std::string& program,
                                       const std::string& help)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0) {
            std::fputs(help.c_str(), stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::fputs(versionText(program).c_str(), stdout);
            return 0;
        }
    }
    return std::nullopt;
}

const char* programVersion()
{
    return kQuillfenceVersion;
}
