#pragma once
// The commands of the health history, where the build has it
// (HistoryCommands.cpp; NoHistoryCommands.cpp otherwise).

#include "cli/Commands.h"

#include <map>
#include <string>

using CommandTable = std::map<std::string, int (*)(const Arguments&)>;

// "record" and "history", or nothing.
extern const CommandTable kHistoryCommands;
// Their lines of the usage text: the synopsis, and the description.
extern const char* const kHistorySynopsis;
extern const char* const kHistoryDescription;
