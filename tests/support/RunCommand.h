#pragma once
// Runs a shell command line and gives back its exit code and standard output,
// for tests that run the project's programs as separate processes.

#include <array>
#include <cstdio>
#include <string>
#include <sys/wait.h>

struct CommandRun {
    int exitCode;
    std::string out;
};

inline CommandRun runCommand(const std::string& commandLine)
{
    FILE* pipe = popen(commandLine.c_str(), "r");
    if (!pipe)
        return {-1, {}};
    std::string out;
    std::array<char, 4096> chunk{};
    size_t got;
    while ((got = fread(chunk.data(), 1, chunk.size(), pipe)) > 0)
        out.append(chunk.data(), got);
    const int status = pclose(pipe);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out};
}
