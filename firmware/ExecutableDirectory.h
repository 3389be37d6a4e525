#pragma once
// The folder of the running program (UTF-8, no trailing separator), beside
// which the firmware images are kept; empty when it cannot be determined.
// Defined in the platform's file.

#include <string>

std::string ExecutableDirectory();
