#pragma once
// The options the reading commands share, parsed from the words after the
// command's name.

#include "cli/Commands.h"
#include "cli/DiskLookup.h"

#include <optional>
#include <string>

struct CommandOptions {
    ReadOptions read;
    bool json = false;             // --json
    std::optional<int> diskNum;    // N
    bool all = false;              // --all
    std::string output;            // --output FILE; empty: standard output
};

// What a command takes besides --include-system and --nocheck standby.
struct AcceptedOptions {
    bool json = false;
    bool drive = false;   // exactly one of N and --all
    bool output = false;
};

// Nothing when a word is not one the command takes, or a needed one is
// missing; `problem` then says which ("unknown option --jsn").
std::optional<CommandOptions> parseOptions(const Arguments& args, AcceptedOptions accepted, std::string& problem);

// What is wrong with `word`, a word the command does not take where it
// stands; `driveExpected` when a drive number could stand there.
std::string unexpectedWord(const std::string& word, bool driveExpected);
