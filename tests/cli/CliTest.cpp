// quillfence-cli run as a separate process, as scripts and the VM tests use it.

#include "RunCommand.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

// Runs the CLI with `arguments` on the fleet file `fleet`; standard error goes to `errFile`.
CommandRun cli(const std::string& arguments, const std::string& fleet, const std::string& errFile = "/dev/null")
{
    return runCommand("QUILLFENCE_DEVICES='" + fleet + "' '" QUILLFENCE_CLI "' " + arguments + " 2>" + errFile);
}

const std::string kDemo = QUILLFENCE_SOURCE_DIR "/data/demo-fleet.json";

TEST(CliList, JsonListsTheDemoDisksWithTheirPartitions)
{
    const CommandRun run = cli("list --json", kDemo);
    ASSERT_EQ(run.exitCode, 1) << "drive 15's identity could not be read";
    const auto disks = nlohmann::json::parse(run.out).at("disks");

    std::vector<int> numbers;
    for (const auto& disk : disks) {
        numbers.push_back(disk.at("diskNum"));
        EXPECT_FALSE(disk.at("isSystemDisk").get<bool>());
    }
    EXPECT_EQ(numbers, (std::vector<int>{2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17}))
        << "system disk 0 left out, gap at 1";

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

    EXPECT_EQ(disks[5].at("model"), "QYD-M7A0-512G");
    EXPECT_EQ(disks[5].at("serialNumber"), "QV7A2H10520017");
    EXPECT_EQ(disks[5].at("firmware"), "0428c");
    EXPECT_TRUE(disks[5].at("isMakerDisk").get<bool>());
    EXPECT_TRUE(disks[7].at("isMakerDisk").get<bool>()) << "the QUORVENTA marker of drive 9";
    EXPECT_EQ(disks[12].at("busType"), 7);
    EXPECT_TRUE(disks[12].at("isMakerDisk").get<bool>()) << "a maker's drive behind a USB bridge";
    EXPECT_EQ(disks[13].at("valid"), 0) << "drive 15 fails IDENTIFY";
    EXPECT_EQ(disks[13].at("model"), "");
    EXPECT_EQ(disks[14].at("valid"), 1) << "drive 16 has no SMART but an identity";
    EXPECT_FALSE(disks[0].at("isMakerDisk").get<bool>());
    // An NVMe drive, listed with the same keys.
    EXPECT_EQ(disks[15], nlohmann::json::parse(R"({"diskNum": 17, "capacity": 931.5133895874023,
        "capacity_bytes": 1000204886016, "isSystemDisk": false, "busType": 17, "bus": "nvme",
        "device": "\\\\.\\PHYSICALDRIVE17", "serialNumber": "CV3N1T0A27718", "model": "Corvid NV3 1TB",
        "firmware": "3B2QGXA7", "valid": 1, "isMakerDisk": false, "wwn": null, "power_mode": null,
        "skipped": false, "busy": false, "partitions": [{"letter": "S", "total": 931.0, "free": 569.5909576416016,
        "total_bytes": 999653638144, "free_bytes": 611593633792, "mount_point": null}]})"));
}

TEST(CliList, TableNamesEveryDiskAndPartition)
{
    const CommandRun run = cli("list", kDemo);
    ASSERT_EQ(run.exitCode, 1) << "drive 15's identity could not be read";
    EXPECT_NE(run.out.find("PhysicalDrive2  931.51 GB"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("E:  558.79 GB free of 931.51 GB"), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find("PhysicalDrive0"), std::string::npos) << run.out;
}

// What was wrong comes first, then the usage; nothing is read.
TEST(CliArguments, EachMistakeIsNamedBeforeTheUsage)
{
    struct Case {
        const char* arguments;
        const char* problem;
    };
    const Case cases[] = {
        {"", "quillfence-cli: no command given"},
        {"lst", "quillfence-cli: unknown command lst"},
        {"list --jsn", "quillfence-cli list: unknown option --jsn"},
        {"list --json extra", "quillfence-cli list: unexpected argument extra"},
        {"list -1", "quillfence-cli list: unknown option -1"},
        {"smart abc", "quillfence-cli smart: abc is not a drive number"},
        {"smart -1", "quillfence-cli smart: -1 is not a drive number"},
        {"smart 1000", "quillfence-cli smart: 1000 is not a drive number"},
        {"smart \"$(printf 'a\\033b')\"", "quillfence-cli smart: a\\x1Bb is not a drive number"},
        {"smart", "quillfence-cli smart: give a drive number N or --all"},
        {"smart --json", "quillfence-cli smart: give a drive number N or --all"},
        {"smart 7 --all", "quillfence-cli smart: give a drive number N or --all, not both"},
        {"smart 7 8", "quillfence-cli smart: unexpected argument 8"},
        {"smart --all --all", "quillfence-cli smart: --all is given twice"},
        {"smart 7 --nocheck", "quillfence-cli smart: --nocheck takes the word standby"},
        {"smart 7 --nocheck idle", "quillfence-cli smart: --nocheck takes the word standby"},
        {"metrics --json", "quillfence-cli metrics: unknown option --json"},
        {"metrics --output", "quillfence-cli metrics: --output needs a file name"},
        {"metrics --output ''", "quillfence-cli metrics: --output needs a file name"},
        {"metrics --output a --output b", "quillfence-cli metrics: --output is given twice"},
        {"update-firmware", "quillfence-cli update-firmware: give the drive number N"},
        {"update-firmware x", "quillfence-cli update-firmware: x is not a drive number"},
        {"update-firmware --yes 7", "quillfence-cli update-firmware: give the drive number N before the options"},
        {"update-firmware 7 --app-dir", "quillfence-cli update-firmware: --app-dir needs a folder"},
        {"update-firmware 7 --force", "quillfence-cli update-firmware: unknown option --force"},
    };
    const std::string err = testing::TempDir() + "cli-usage.txt";
    for (const Case& c : cases) {
        const std::string log = testing::TempDir() + "cli-usage-device.log";
        std::filesystem::remove(log);
        const CommandRun run = runCommand("QUILLFENCE_DEVICES='" + kDemo + "' QUILLFENCE_DEVICE_LOG='" + log + "' '"
                                          QUILLFENCE_CLI "' " + c.arguments + " 2>" + err);
        EXPECT_EQ(run.exitCode, 2) << c.arguments;
        EXPECT_TRUE(run.out.empty()) << c.arguments;
        EXPECT_FALSE(std::filesystem::exists(log)) << c.arguments << ": no drive received anything";
        std::ifstream usage(err);
        std::string problem, first;
        std::getline(usage, problem);
        std::getline(usage, first);
        EXPECT_EQ(problem, c.problem) << c.arguments;
        EXPECT_EQ(first, "usage: quillfence-cli list [--json] [--include-system] [--nocheck standby]") << c.arguments;
    }
}

TEST(CliList, AnUnusableFleetFileGivesAnEmptyListAndAMessage)
{
    const std::string err = testing::TempDir() + "cli-error.txt";
    const CommandRun run = cli("list --json", "/nonexistent/fleet.json", err);
    EXPECT_EQ(run.exitCode, 1) << "an empty machine has no system disk";
    EXPECT_EQ(nlohmann::json::parse(run.out).at("disks"), nlohmann::json::array());
    FILE* file = std::fopen(err.c_str(), "r");
    ASSERT_TRUE(file);
    char line[512] = {};
    ASSERT_TRUE(std::fgets(line, sizeof line, file));
    std::fclose(file);
    EXPECT_NE(std::string(line).find("/nonexistent/fleet.json: cannot be read"), std::string::npos) << line;
}

// A device log that cannot be written fails the run, even one whose output
// looks complete: the simulated drives refused their commands.
TEST(CliList, AnUnwritableDeviceLogFailsTheRun)
{
    const std::string folder = testing::TempDir() + "cli-log";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    const std::string fifo = folder + "/fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string err = testing::TempDir() + "cli-log-error.txt";
    for (const std::string& log : {fifo, folder, folder + "/absent/log.txt", std::string("/dev/null")}) {
        const CommandRun run = runCommand("QUILLFENCE_DEVICES='" + kDemo + "' QUILLFENCE_DEVICE_LOG='" + log + "' '"
                                          QUILLFENCE_CLI "' list --json 2>" + err);
        EXPECT_EQ(run.exitCode, 1) << log;
        std::ifstream file(err);
        const std::string message((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        EXPECT_NE(message.find("quillfence: device log " + log + ": "), std::string::npos) << message;
    }
    std::filesystem::remove_all(folder);
}

}  // namespace

namespace {

nlohmann::json smartJson(int diskNum)
{
    const CommandRun run = cli("smart " + std::to_string(diskNum) + " --json", kDemo);
    EXPECT_EQ(run.exitCode & ~8, 0) << diskNum << ": read, whether or not it warns";
    return nlohmann::json::parse(run.out);
}

TEST(CliSmart, AMakersDriveListsItsCatalogueRowsAndLife)
{
    const auto table = smartJson(7);
    EXPECT_EQ(table.at("model"), "QYD-M7A0-512G");
    EXPECT_TRUE(table.at("isMakerDisk").get<bool>());
    EXPECT_EQ(table.at("life"), 94);
    const auto& rows = table.at("rows");
    ASSERT_EQ(rows.size(), 15u);
    const auto texts = nlohmann::json::parse(R"({"ID": "09", "Description": "带电工作时间", "Value": "100",
        "Worst": "100", "Threshold": "0", "CurrentValue": "4660小时", "RawValue": "0x00 00 00 00 12 34 ",
        "Status": ""})");
    for (const auto& [key, text] : texts.items())
        EXPECT_EQ(rows[0].at(key), text) << key;
    EXPECT_EQ(rows[14].at("Status"), "OK(3072个)");
}

TEST(CliSmart, StatusesOverLimitsAndDriveLimits)
{
    const auto hot = smartJson(9).at("rows");
    ASSERT_EQ(hot.size(), 17u) << "M7B0 table with the PNDX480G entries";
    EXPECT_EQ(hot[9].at("Status"), "#1002(70℃)");
    EXPECT_EQ(smartJson(10).at("rows").size(), 15u) << "an unknown second part adds nothing";
    EXPECT_EQ(smartJson(11).at("rows")[14].at("Status"), "风险(100微法)");
}

TEST(CliSmart, LifeIsNullWithoutItsAttributeAndOtherMakersListEverySlot)
{
    EXPECT_TRUE(smartJson(12).at("life").is_null());
    const auto other = smartJson(13);
    EXPECT_FALSE(other.at("isMakerDisk").get<bool>());
    EXPECT_TRUE(other.at("life").is_null());
    const auto& rows = other.at("rows");
    ASSERT_EQ(rows.size(), 18u);
    EXPECT_EQ(rows[0].at("ID"), "01");
    EXPECT_EQ(rows[17].at("ID"), "F2");
    EXPECT_EQ(rows[7].at("CurrentValue"), "21474902060");
    EXPECT_EQ(rows[7].at("Description"), "");
}

TEST(CliSmart, AnNvmeDriveListsItsHealthLogWithTheSameKeys)
{
    const auto table = smartJson(17);
    EXPECT_EQ(table.at("model"), "Corvid NV3 1TB");
    EXPECT_FALSE(table.at("isMakerDisk").get<bool>());
    EXPECT_EQ(table.at("life"), 77) << "100 less 23 % used";
    const auto& rows = table.at("rows");
    ASSERT_EQ(rows.size(), 20u) << "17 fields, one warning bit, two sensors";
    EXPECT_EQ(rows[1], nlohmann::json::parse(R"({"ID": "01", "Description": "严重警告：可靠性下降", "Value": "",
        "Worst": "", "Threshold": "", "CurrentValue": "是", "RawValue": "0x00 00 00 00 00 04 ", "Status": "警告",
        "attribute_id": 1, "name": "critical_warning_reliability_degraded", "normalized_value": null,
        "normalized_worst": null, "normalized_threshold": null, "raw_value": 4, "raw_bytes": [4, 0, 0, 0, 0, 0],
        "current_value": 1, "unit": null, "status_word": "alert", "limit": 0})"));
    EXPECT_EQ(rows[2].at("CurrentValue"), "45℃");
    EXPECT_EQ(rows[7].at("CurrentValue"), "20413497344000字节") << "39870112 data units written";
    EXPECT_EQ(rows[14].at("Status"), "警告(0个)") << "three media errors";
}

// NVMe drives of a fleet of their own, each with its health log: every bit
// of the critical warning, spare at and below its threshold, a percentage
// used beyond 100, and a log that cannot be read.
TEST(CliSmart, NvmeHealthLogsOfAFleet)
{
    struct Case {
        const char* health;  // the "health" fields, or a fault
        std::vector<std::string> warnings;  // the warning bits' rows, after "严重警告"
        const char* spareStatus;
        int life;  // -1: none
        size_t rows;
        int exit;  // 8: a warning; 4: the log could not be read
    };
    const Case cases[] = {
        {R"("health": {"criticalWarning": 1, "availableSpare": 9, "spareThreshold": 10})",
         {"严重警告：可用备用空间低于阈值"}, "警告(10%)", 100, 18, 8},
        {R"("health": {"availableSpare": 10, "spareThreshold": 10, "percentageUsed": 40})", {}, "OK(10%)", 60, 17, 0},
        {R"("health": {"criticalWarning": 2, "temperature": 360, "percentageUsed": 150})", {"严重警告：温度超出阈值"},
         "OK(0%)", 0, 18, 8},
        {R"("health": {"criticalWarning": 4, "mediaErrors": 1})", {"严重警告：可靠性下降"}, "OK(0%)", 100, 18, 8},
        {R"("health": {"criticalWarning": 8})", {"严重警告：介质已转为只读"}, "OK(0%)", 100, 18, 8},
        {R"("health": {"criticalWarning": 16})", {"严重警告：易失性存储备份失效"}, "OK(0%)", 100, 18, 8},
        {R"("health": {"criticalWarning": 32})", {"严重警告：持久内存区已转为只读"}, "OK(0%)", 100, 18, 8},
        {R"("health": {"criticalWarning": 255, "percentageUsed": 255})",
         {"严重警告：可用备用空间低于阈值", "严重警告：温度超出阈值", "严重警告：可靠性下降",
          "严重警告：介质已转为只读", "严重警告：易失性存储备份失效", "严重警告：持久内存区已转为只读",
          "严重警告：保留位6", "严重警告：保留位7"},
         "OK(0%)", 0, 25, 8},
        {R"("health": {"percentageUsed": 5}, "faults": ["smart"])", {}, nullptr, -1, 0, 4},
    };
    std::string drives = R"({"number": 0, "length": 1000, "volumes": [{"letter": "C", "total": 1000, "free": 10}]})";
    int number = 1;
    for (const Case& c : cases)
        drives += R"(, {"number": )" + std::to_string(number++) + R"(, "bus": "nvme", "length": 1000,
            "identity": {"serial": "S", "model": "NVMe SSD", "firmware": "1"}, )" + c.health + "}";
    const std::string fleet = testing::TempDir() + "nvme-health-fleet.json";
    std::ofstream(fleet) << "{\"drives\": [" << drives << "]}";

    number = 1;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.health);
        const CommandRun run = cli("smart " + std::to_string(number++) + " --json", fleet);
        EXPECT_EQ(run.exitCode, c.exit);
        const auto table = nlohmann::json::parse(run.out);
        const auto& rows = table.at("rows");
        ASSERT_EQ(rows.size(), c.rows);
        if (c.life < 0) {
            EXPECT_TRUE(table.at("life").is_null()) << "the log could not be read";
            continue;
        }
        EXPECT_EQ(table.at("life"), c.life);
        EXPECT_EQ(rows[0].at("Status"), c.warnings.empty() ? "OK" : "警告");
        for (size_t k = 0; k < c.warnings.size(); ++k)
            EXPECT_EQ(rows[1 + k].at("Description"), c.warnings[k]);
        EXPECT_EQ(rows[2 + c.warnings.size()].at("Status"), c.spareStatus);
    }
}

TEST(CliSmart, DrivesThatCannotBeShownFailWithAMessage)
{
    const std::string err = testing::TempDir() + "cli-smart-error.txt";
    for (const char* drive : {"15", "1", "0", "99"}) {
        const CommandRun run = cli(std::string("smart ") + drive + " --json", kDemo, err);
        EXPECT_EQ(run.exitCode, 1) << drive;
        EXPECT_TRUE(run.out.empty()) << drive;
    }
    for (const char* bad : {"smart", "smart x", "smart 7 --jsn", "smart -1"})
        EXPECT_EQ(cli(bad, kDemo, err).exitCode, 2) << bad;
}

}  // namespace
