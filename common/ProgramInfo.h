#pragma once
// The answers to --help and --version that every program of the project gives,
// before it does anything else.

#include <optional>
#include <string>

// "<program> <version>" and the licence, as --version prints them.
std::string versionText(const std::string& program);

// When an argument is "--help" or "--version" (the first of them counts),
// prints `help` or the version text on standard output and returns 0, the
// exit code; otherwise prints nothing and returns no value.
std::optional<int> answerHelpOrVersion(int argc, const char* const* argv, const std::string& program,
                                       const std::string& help);

// The version of the programs, as set in the build: "1.0.1".
const char* programVersion();
