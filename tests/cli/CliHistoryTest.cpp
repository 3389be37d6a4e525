// quillfence-cli record and history as timers and scripts use them: samples
// stored by two processes at once, drives in standby left asleep and
// unsampled, a damaged database set aside with one message, the alerts
// between two records, the outputs of history.

#include "RunCommand.h"
#include "TestFiles.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

namespace {

// A maker's drive with 90 % of its life and 3 bad blocks; a drive in standby.
std::string fleet(int life, int badBlocks)
{
    return R"({"drives": [
      {"number": 0, "length": 1073741824, "volumes": [{"letter": "C", "total": 1073741824, "free": 0}],
       "identity": {"serial": "SYS0", "model": "System", "firmware": "1"}},
      {"number": 1, "length": 128035676160, "identity": {"serial": "QV1", "model": "QY-M7A0-128G", "firmware": "1"},
       "smart": {"attributes": [{"id": 231, "value": )" +
           std::to_string(life) + R"(, "raw": 0}, {"id": 169, "raw": )" + std::to_string(badBlocks << 16) + R"(}]}},
      {"number": 2, "length": 1073741824, "power": "standby",
       "identity": {"serial": "SLEEPY", "model": "Sleepy Disk", "firmware": "1"}}]})";
}

class CliHistory : public testing::Test {
protected:
    std::string home = testing::TempDir() + testing::UnitTest::GetInstance()->current_test_info()->name();
    std::string database = home + "/quillfence/health.db";

    // Runs the CLI with the history in `home`; standard error into `errors`.
    CommandRun cli(const std::string& arguments, const std::string& fleetFile, const std::string& extra = "")
    {
        std::filesystem::create_directories(home);
        return runCommand("XDG_DATA_HOME='" + home + "' QUILLFENCE_DEVICES='" + fleetFile + "' " + extra + " '" +
                          QUILLFENCE_CLI "' " + arguments + " 2>>'" + home + "/errors'");
    }
    std::string errors() { return fileText(home + "/errors"); }
    nlohmann::json history(const std::string& fleetFile, const std::string& more = "")
    {
        const CommandRun run = cli("history 1 --json" + more, fleetFile);
        EXPECT_EQ(run.exitCode, 0) << errors();
        return nlohmann::json::parse(run.out);
    }
};

}  // namespace

TEST_F(CliHistory, RecordFromTwoProcessesAtOnceStoresEverySample)
{
    const std::string file = writeFleet("race.json", fleet(90, 3));
    const std::string loop = "for k in $(seq 100); do '" QUILLFENCE_CLI "' record >/dev/null || echo failed; done";
    const CommandRun run = runCommand("export XDG_DATA_HOME='" + home + "' QUILLFENCE_DEVICES='" + file + "'; (" +
                                      loop + ") & (" + loop + "); wait");
    EXPECT_EQ(run.out, "") << "every record succeeded";
    const auto json = history(file);
    EXPECT_EQ(json["samples"].size(), 200u);
}

TEST_F(CliHistory, RecordLeavesADriveInStandbyAsleepAndUnsampled)
{
    const std::string file = writeFleet("sleepy.json", fleet(90, 3));
    const std::string log = home + "/device.log";
    const CommandRun run = cli("record", file, "QUILLFENCE_DEVICE_LOG='" + log + "'");
    EXPECT_EQ(run.exitCode, 0) << errors();
    EXPECT_EQ(run.out, "PhysicalDrive1  sample stored\nPhysicalDrive2  in standby: not read\n");
    std::ifstream in(log);
    int checks = 0;
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("drive=2 ", 0) != 0)
            continue;
        // CHECK POWER MODE (E5h) and nothing else.
        EXPECT_TRUE(std::regex_search(line, std::regex("command=[0-9A-F]{12}E5"))) << line;
        ++checks;
    }
    EXPECT_EQ(checks, 1);
    // The sleeping drive has no history; its identity is read to ask for it.
    const CommandRun sleepy = cli("history 2", file);
    EXPECT_EQ(sleepy.out, "PhysicalDrive2  Sleepy Disk  serial SLEEPY\nNo samples.\n");
}

TEST_F(CliHistory, TheChangesBetweenTwoRecordsAreStoredAndShown)
{
    cli("record", writeFleet("before.json", fleet(90, 3)));
    const std::string after = writeFleet("after.json", fleet(25, 12));
    const CommandRun run = cli("record", after);
    EXPECT_EQ(run.out,
              "PhysicalDrive1  sample stored\n"
              "  健康指标由良好降为警告（剩余寿命25%）\n"
              "  总坏块数由3增至12\n"
              "PhysicalDrive2  in standby: not read\n");

    const auto json = history(after);
    ASSERT_EQ(json["samples"].size(), 2u);
    EXPECT_EQ(json["samples"][0]["life"], 90);
    EXPECT_EQ(json["samples"][1]["life"], 25);
    EXPECT_EQ(json["samples"][1]["health"], "warning");
    EXPECT_EQ(json["drive"]["serial"], "QV1");
    ASSERT_EQ(json["events"].size(), 2u);
    EXPECT_EQ(json["events"][0]["kind"], "health_level");
    EXPECT_EQ(json["events"][0]["before_word"], "good");
    EXPECT_EQ(json["events"][0]["after_word"], "warning");
    EXPECT_EQ(json["events"][1]["kind"], "count");
    EXPECT_EQ(json["events"][1]["name"], "total_bad_blocks");
    EXPECT_EQ(json["events"][1]["before"], 3);
    EXPECT_EQ(json["events"][1]["after"], 12);
    // The rows as smart --json types them.
    const auto smart = nlohmann::json::parse(cli("smart 1 --json", after).out);
    const auto& stored = json["samples"][1]["rows"];
    ASSERT_EQ(stored.size(), smart["rows"].size());
    for (size_t k = 0; k < stored.size(); ++k) {
        for (const auto& [key, value] : stored[k].items())
            EXPECT_EQ(value, smart["rows"][k][key]) << key;
    }

    const CommandRun csv = cli("history 1 --csv", after);
    const std::regex line("[0-9]{4}-[0-9]{2}-[0-9]{2}T[0-9:]{8}Z,25,warning,,,active_or_idle\n$");
    EXPECT_TRUE(std::regex_search(csv.out, line)) << csv.out;
    EXPECT_EQ(csv.out.substr(0, csv.out.find('\n')),
              "time,life_percent,health,temperature_celsius,data_written_bytes,power_mode");
    const CommandRun text = cli("history 1", after);
    EXPECT_NE(text.out.find("Alerts:\n"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("  总坏块数由3增至12\n"), std::string::npos) << text.out;
    // --since in the future: nothing.
    EXPECT_EQ(history(after, " --since 2999-01-01Z")["samples"].size(), 0u);
}

TEST_F(CliHistory, ADamagedDatabaseIsSetAsideWithOneMessage)
{
    std::filesystem::create_directories(home + "/quillfence");
    std::ofstream(database) << std::string(5000, 'x');
    const std::string file = writeFleet("damaged.json", fleet(90, 3));
    EXPECT_EQ(cli("record", file).exitCode, 0);
    EXPECT_EQ(cli("record", file).exitCode, 0);
    const std::regex said("quillfence-cli: the health history .*health\\.db was damaged: it was set aside as .*health\\.db\\.damaged-"
                          "[0-9T]+Z and a new one started\n");
    const std::string text = errors();
    EXPECT_TRUE(std::regex_match(text, said)) << text;
    int aside = 0;
    for (const auto& entry : std::filesystem::directory_iterator(home + "/quillfence")) {
        if (entry.path().filename().string().rfind("health.db.damaged-", 0) == 0) {
            ++aside;
            EXPECT_EQ(fileText(entry.path().string()), std::string(5000, 'x'));
        }
    }
    EXPECT_EQ(aside, 1);
    EXPECT_EQ(history(file)["samples"].size(), 2u);
}

TEST_F(CliHistory, BadArgumentsAreNamed)
{
    const std::string file = writeFleet("args.json", fleet(90, 3));
    struct Case {
        const char* arguments;
        const char* problem;
    };
    const Case cases[] = {
        {"history", "quillfence-cli history: give a drive number N\n"},
        {"history 1 --json --csv", "quillfence-cli history: give --json or --csv, not both\n"},
        {"history 1 --since", "quillfence-cli history: --since needs a date: YYYY-MM-DD or YYYY-MM-DDTHH:MM[:SS], "
                              "with Z for UTC\n"},
        {"history 1 --since yesterday", "quillfence-cli history: yesterday is not a date: YYYY-MM-DD or "
                                        "YYYY-MM-DDTHH:MM[:SS], with Z for UTC\n"},
        {"record 1", "quillfence-cli record: unexpected argument 1\n"},
    };
    for (const Case& c : cases) {
        std::filesystem::remove(home + "/errors");
        EXPECT_EQ(cli(c.arguments, file).exitCode, 2) << c.arguments;
        const std::string text = errors();
        EXPECT_EQ(text.substr(0, text.find("usage:")), c.problem);
    }
}
