// quillfence-cli run as a separate process, as scripts and the VM tests use it.

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <array>
#include <cstdio>
#include <string>
#include <sys/wait.h>

namespace {

struct CliRun {
    int exitCode;
    std::string out;
};

// Runs the CLI with `arguments` on the fleet file `fleet`; standard error goes to `errFile`.
CliRun cli(const std::string& arguments, const std::string& fleet, const std::string& errFile = "/dev/null")
{
    const std::string command =
        "QUILLFENCE_DEVICES='" + fleet + "' '" QUILLFENCE_CLI "' " + arguments + " 2>" + errFile;
    FILE* pipe = popen(command.c_str(), "r");
    std::string out;
    std::array<char, 4096> chunk{};
    size_t got;
    while ((got = fread(chunk.data(), 1, chunk.size(), pipe)) > 0)
        out.append(chunk.data(), got);
    const int status = pclose(pipe);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out};
}

const std::string kDemo = QUILLFENCE_SOURCE_DIR "/data/demo-fleet.json";

TEST(CliList, JsonListsTheDemoDisksWithTheirPartitions)
{
    const CliRun run = cli("list --json", kDemo);
    ASSERT_EQ(run.exitCode, 0);
    const auto disks = nlohmann::json::parse(run.out).at("disks");

    std::vector<int> numbers;
    for (const auto& disk : disks) {
        numbers.push_back(disk.at("diskNum"));
        EXPECT_FALSE(disk.at("isSystemDisk").get<bool>());
    }
    EXPECT_EQ(numbers, (std::vector<int>{2, 3, 4, 5, 6})) << "system disk 0 left out, gap at 1";

    const auto& first = disks[0];
    EXPECT_DOUBLE_EQ(first.at("capacity").get<double>(), 1000204886016.0 / (1 << 30));
    EXPECT_EQ(first.at("busType"), 11);
    ASSERT_EQ(first.at("partitions").size(), 1u);
    EXPECT_EQ(first["partitions"][0].at("letter"), "E");
    EXPECT_NEAR(first["partitions"][0].at("total").get<double>(), 931.51, 0.005);
    EXPECT_NEAR(first["partitions"][0].at("free").get<double>(), 558.79, 0.005);

    std::string letters;
    for (const auto& part : disks[1].at("partitions"))
        letters += part.at("letter").get<std::string>();
    EXPECT_EQ(letters, "FGHI");
    EXPECT_EQ(disks[2].at("partitions").size(), 6u);
    EXPECT_EQ(disks[3].at("busType"), 7);
    EXPECT_TRUE(disks[3].at("partitions").empty()) << "a removable volume never counts";
}

TEST(CliList, TableNamesEveryDiskAndPartition)
{
    const CliRun run = cli("list", kDemo);
    ASSERT_EQ(run.exitCode, 0);
    EXPECT_NE(run.out.find("PhysicalDrive2  931.51 GB"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("E:  558.79 GB free of 931.51 GB"), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find("PhysicalDrive0"), std::string::npos) << run.out;
}

TEST(CliList, BadArgumentsPrintUsageAndExitTwo)
{
    for (const char* arguments : {"", "lst", "list --jsn", "list --json extra"}) {
        const std::string err = testing::TempDir() + "cli-usage.txt";
        const CliRun run = cli(arguments, kDemo, err);
        EXPECT_EQ(run.exitCode, 2) << arguments;
        EXPECT_TRUE(run.out.empty()) << arguments;
    }
}

TEST(CliList, AnUnusableFleetFileGivesAnEmptyListAndAMessage)
{
    const std::string err = testing::TempDir() + "cli-error.txt";
    const CliRun run = cli("list --json", "/nonexistent/fleet.json", err);
    EXPECT_EQ(run.exitCode, 1) << "an empty machine has no system disk";
    EXPECT_EQ(nlohmann::json::parse(run.out), nlohmann::json::parse("{\"disks\": []}"));
    FILE* file = std::fopen(err.c_str(), "r");
    ASSERT_TRUE(file);
    char line[512] = {};
    ASSERT_TRUE(std::fgets(line, sizeof line, file));
    std::fclose(file);
    EXPECT_NE(std::string(line).find("/nonexistent/fleet.json: cannot be read"), std::string::npos) << line;
}

}  // namespace
