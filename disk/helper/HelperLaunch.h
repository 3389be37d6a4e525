#pragma once
// How the program starts its privileged helper: the launcher (pkexec) and
// the helper program. A build for installation starts /usr/bin/pkexec and
// the installed helper, whatever the environment says. A test build also
// takes two test aids from the environment, QUILLFENCE_HELPER_LAUNCHER and
// QUILLFENCE_HELPER, and finds the helper of its own build tree.

#include <string>
#include <vector>

// The launcher's words; the helper's path and mode are appended.
std::vector<std::string> helperLauncher();
// The helper program to start.
std::string helperProgram();
