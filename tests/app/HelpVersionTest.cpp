// --help and --version of every program: answered on standard output with
// exit code 0 before any display, window or drive is touched. The programs run
// with no display and Qt's X11 platform forced, so creating the application
// object would abort them, and with a fleet file that does not exist, so
// reading drives would complain on standard error.

#include "RunCommand.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

namespace {

struct Program {
    const char* name;
    const char* path;
};

const Program kPrograms[] = {
    {"quillfence", QUILLFENCE_WINDOW},
    {"quillfence-cli", QUILLFENCE_CLI},
    {"quillfence-flashtest", QUILLFENCE_FLASHTEST},
};

struct Answer {
    CommandRun run;
    std::string err;
};

Answer runProgram(const Program& program, const std::string& arguments)
{
    const std::string errFile = testing::TempDir() + "help-version-err.txt";
    Answer answer;
    answer.run = runCommand("env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb "
                            "QUILLFENCE_DEVICES=/nonexistent/fleet.json '" +
                            std::string(program.path) + "' " + arguments + " 2>'" + errFile + "'");
    std::ifstream err(errFile);
    answer.err.assign(std::istreambuf_iterator<char>(err), std::istreambuf_iterator<char>());
    return answer;
}

std::string firstLine(const std::string& text)
{
    return text.substr(0, text.find('\n'));
}

TEST(HelpVersion, EveryProgramAnswersOnStandardOutputBeforeAnythingElse)
{
    for (const Program& program : kPrograms) {
        SCOPED_TRACE(program.name);
        const std::string name = program.name;

        const Answer version = runProgram(program, "--version");
        EXPECT_EQ(version.run.exitCode, 0);
        EXPECT_EQ(firstLine(version.run.out), name + " " + QUILLFENCE_VERSION);
        EXPECT_NE(version.run.out.find("GPL-3.0-or-later"), std::string::npos) << version.run.out;
        EXPECT_EQ(version.err, "");

        const Answer help = runProgram(program, "--help");
        EXPECT_EQ(help.run.exitCode, 0);
        EXPECT_EQ(help.run.out.rfind("usage: " + name + " ", 0), 0u) << help.run.out;
        EXPECT_NE(help.run.out.find("--version"), std::string::npos) << help.run.out;
        EXPECT_NE(help.run.out.find("QUILLFENCE_DEVICES"), std::string::npos) << help.run.out;
        EXPECT_EQ(help.err, "");

        // Among other arguments, the first of the two counts.
        EXPECT_EQ(runProgram(program, "-platform xcb --version --help").run.out, version.run.out);
        EXPECT_EQ(runProgram(program, "list --help --version").run.out, help.run.out);
    }
}

TEST(HelpVersion, TheCliHelpNamesEveryCommand)
{
    const std::string help = runProgram(kPrograms[1], "--help").run.out;
    for (const char* command : {"list [--json]", "smart N|--all [--json]", "metrics [--include-system]",
                                "update-firmware N [--yes] [--app-dir DIR]"})
        EXPECT_NE(help.find(std::string("quillfence-cli ") + command), std::string::npos) << command;
}

}  // namespace
