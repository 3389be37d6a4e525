// What quillfence-cli tells people when something fails: a metrics file that
// cannot be written is named with the system's reason.

#include "RunCommand.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

std::string fileText(const std::string& path)
{
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string writeFleet(const std::string& name, const std::string& json)
{
    const std::string path = testing::TempDir() + name;
    std::ofstream(path) << json;
    return path;
}

struct CliRun {
    int exitCode;
    std::string out;
    std::string err;
};

// The CLI on `fleet` under the C locale, as a service or a cron job may run it.
CliRun cli(const std::string& arguments, const std::string& fleet)
{
    const std::string err = testing::TempDir() + "cli-messages-err.txt";
    const CommandRun run = runCommand("LC_ALL=C LANG=C QUILLFENCE_DEVICES='" + fleet + "' '" QUILLFENCE_CLI "' " +
                                      arguments + " 2>'" + err + "'");
    return {run.exitCode, run.out, fileText(err)};
}

TEST(CliMetrics, AFileThatCannotBeWrittenIsNamedWithTheSystemsReason)
{
    const std::string fleet = writeFleet("metrics-fleet.json", R"({"drives": [
      {"number": 0, "length": 1073741824, "volumes": [{"letter": "C", "total": 1073741824, "free": 0}]},
      {"number": 1, "length": 1073741824, "identity": {"serial": "S1", "model": "Plain", "firmware": "1"}}]})");
    const std::string folder = testing::TempDir() + "metrics-target";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder + "/a-folder");
    std::ofstream(folder + "/a-file") << "";
    struct Case {
        std::string path;
        const char* reason;
    };
    const Case cases[] = {
        {folder + "/no-such-folder/metrics.prom", "No such file or directory"},
        {folder + "/a-folder", "Is a directory"},
        {folder + "/a-file/metrics.prom", "Not a directory"},
    };
    for (const Case& c : cases) {
        const CliRun run = cli("metrics --output '" + c.path + "'", fleet);
        EXPECT_EQ(run.exitCode, 16) << c.path;
        EXPECT_EQ(run.err, "quillfence-cli: the metrics could not be written to " + c.path + ": " + c.reason + "\n");
        EXPECT_TRUE(run.out.empty());
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 2) << "nothing left behind";
    std::filesystem::remove_all(folder);
}

}  // namespace
