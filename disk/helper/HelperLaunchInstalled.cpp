// The installed program's helper: started by pkexec, named by its absolute
// path so that no PATH can put another program in its place.

#include "disk/helper/HelperLaunch.h"

std::vector<std::string> helperLauncher()
{
    return {"/usr/bin/pkexec"};
}

std::string helperProgram()
{
    return QUILLFENCE_HELPER_PATH;
}
