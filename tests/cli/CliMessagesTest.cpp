// What quillfence-cli tells people when something fails: a metrics file that
// cannot be written is named with the system's reason, and a list fails for a
// drive it could not identify.

#include "RunCommand.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

const std::string kDemo = QUILLFENCE_SOURCE_DIR "/data/demo-fleet.json";

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

TEST(CliExitStatus, ListFailsForADriveItCouldNotIdentify)
{
    const std::string fleet = writeFleet("identify-fleet.json", R"({"drives": [
      {"number": 0, "length": 1073741824, "volumes": [{"letter": "C", "total": 1073741824, "free": 0}]},
      {"number": 1, "length": 1073741824, "identity": {"serial": "S1", "model": "Plain", "firmware": "1"}},
      {"number": 2, "length": 1073741824, "power": "standby",
       "identity": {"serial": "S2", "model": "Sleepy", "firmware": "1"}},
      {"number": 3, "length": 1073741824, "bus": "usb", "faults": ["identify"]}]})");
    const std::string identified = writeFleet("identified-fleet.json", R"({"drives": [
      {"number": 0, "length": 1073741824, "volumes": [{"letter": "C", "total": 1073741824, "free": 0}]},
      {"number": 1, "length": 1073741824, "identity": {"serial": "S1", "model": "Plain", "firmware": "1"}}]})");
    struct Case {
        std::string arguments;
        std::string fleet;
        int exit;
        const char* why;
    };
    const Case cases[] = {
        {"list", identified, 0, "every drive identified"},
        {"list --json", identified, 0, "the same in JSON"},
        {"list", fleet, 1, "drive 3's bridge fails IDENTIFY"},
        {"list --json --nocheck standby", fleet, 1, "drive 2 left in standby, drive 3 still unidentified"},
        {"list", kDemo, 1, "drive 15 of the demo fleet fails IDENTIFY"},
        {"metrics", fleet, 1, "metrics fail for it as well"},
    };
    for (const Case& c : cases) {
        const CliRun run = cli(c.arguments, c.fleet);
        EXPECT_EQ(run.exitCode, c.exit) << c.arguments << ": " << c.why;
        EXPECT_FALSE(run.out.empty()) << c.arguments << ": the list is printed all the same";
    }
    const CliRun standby = cli("list --json --nocheck standby", writeFleet("standby-fleet.json", R"({"drives": [
      {"number": 0, "length": 1073741824, "volumes": [{"letter": "C", "total": 1073741824, "free": 0}]},
      {"number": 1, "length": 1073741824, "power": "standby",
       "identity": {"serial": "S1", "model": "Sleepy", "firmware": "1"}}]})"));
    EXPECT_EQ(standby.exitCode, 0) << "a drive left in standby sets no bit";
    EXPECT_EQ(nlohmann::json::parse(standby.out).at("disks")[0].at("valid"), 0);
}

}  // namespace
