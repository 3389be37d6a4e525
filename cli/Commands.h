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

// The exit code for bad arguments, after printing what was wrong with them
// ("quillfence-cli smart: -1 is not a drive number") and the usage.
// `command` is empty when the command itself is wrong.
int usage(const std::string& command, const std::string& problem);
