#pragma once
// The commands of quillfence-cli. Each takes the words after its name and
// returns the exit status (cli/ExitStatus.h): 0 success, bits otherwise.

#include <string>
#include <vector>

using Arguments = std::vector<std::string>;

int listCommand(const Arguments& args);
int smartCommand(const Arguments& args);
int metricsCommand(const Arguments& args);
int firmwareCommand(const Arguments& args);

// The exit code for bad arguments, after printing the usage.
int usage();
