// quillfence-cli as scripts and monitoring use it: typed values that say what
// the texts say, exit status bits, one read per drive, drives left in
// standby, the system disk on request, drive texts made safe for a terminal.

#include "RunCommand.h"
#include "TestFiles.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <string>
#include <vector>

namespace {

const std::string kDemo = QUILLFENCE_SOURCE_DIR "/data/demo-fleet.json";

// Runs the CLI on `fleet` with a fresh device log; standard error is dropped.
struct LoggedRun {
    CommandRun run;
    std::vector<std::string> log;  // one line per command a drive received
};

LoggedRun logged(const std::string& arguments, const std::string& fleet)
{
    const std::string log = testing::TempDir() + "cli-device.log";
    std::filesystem::remove(log);
    LoggedRun result{runCommand("QUILLFENCE_DEVICES='" + fleet + "' QUILLFENCE_DEVICE_LOG='" + log + "' '" QUILLFENCE_CLI
                                "' " + arguments + " 2>/dev/null"),
                     {}};
    std::ifstream in(log);
    for (std::string line; std::getline(in, line);)
        result.log.push_back(line);
    return result;
}

// The drive number and the command code of a device log line.
std::pair<int, std::string> driveAndCommand(const std::string& line)
{
    std::smatch found;
    EXPECT_TRUE(std::regex_search(line, found, std::regex("drive=([0-9]+) route=(ata|sat|nvme) command=([0-9A-F]+)")))
        << line;
    const std::string block = found[3];
    // The command code: byte 6 of a task file, byte 9 of a SAT command block,
    // the opcode (byte 0) of an NVMe admin command.
    const size_t at = found[2] == "ata" ? 12 : found[2] == "sat" ? 18 : 0;
    return {std::stoi(found[1]), block.substr(at, 2)};
}

// The units' texts, as CurrentValue writes them after the number.
const std::map<std::string, std::string> kUnitTexts = {
    {"hours", "小时"}, {"times", "次"}, {"blocks", "个"}, {"celsius", "℃"},
    {"percent", "%"},  {"sectors", "扇区"}, {"microfarads", "微法"},
};

TEST(CliTyped, EachTypedValueSaysWhatItsTextSays)
{
    // Every catalogue (M7A0, M7B0, drive limits) and another maker's drive.
    for (int drive : {7, 8, 9, 11, 13, 14}) {
        SCOPED_TRACE(drive);
        const CommandRun run = runCommand("QUILLFENCE_DEVICES='" + kDemo + "' '" QUILLFENCE_CLI "' smart " +
                                          std::to_string(drive) + " --json");
        const auto table = nlohmann::json::parse(run.out);
        ASSERT_FALSE(table.at("rows").empty());
        for (const auto& row : table.at("rows")) {
            SCOPED_TRACE(row.dump());
            char id[3];
            std::snprintf(id, sizeof id, "%02X", row.at("attribute_id").get<int>());
            EXPECT_EQ(row.at("ID"), id);
            EXPECT_EQ(row.at("Value"), std::to_string(row.at("normalized_value").get<int>()));
            EXPECT_EQ(row.at("Worst"), std::to_string(row.at("normalized_worst").get<int>()));
            EXPECT_EQ(row.at("Threshold"), std::to_string(row.at("normalized_threshold").get<int>()));
            const std::string unit = row.at("unit").is_null() ? "" : kUnitTexts.at(row.at("unit"));
            EXPECT_EQ(row.at("CurrentValue"), std::to_string(row.at("current_value").get<uint64_t>()) + unit);
            std::string rawDigits;
            for (char c : row.at("RawValue").get<std::string>().substr(2))
                if (c != ' ')
                    rawDigits += c;
            EXPECT_EQ(row.at("raw_value").get<uint64_t>(), std::stoull(rawDigits, nullptr, 16));
            uint64_t fromBytes = 0;
            for (int k = 5; k >= 0; --k)
                fromBytes = fromBytes << 8 | row.at("raw_bytes")[k].get<uint64_t>();
            EXPECT_EQ(fromBytes, row.at("raw_value").get<uint64_t>()) << "least significant byte first";
            const std::string status = row.at("Status");
            if (row.at("status_word").is_null()) {
                EXPECT_EQ(status, "");
                EXPECT_TRUE(row.at("limit").is_null());
                continue;
            }
            const std::map<std::string, std::string> prefixes = {
                {"ok", "OK("}, {"alert", "#100"}, {"risk", "风险("}, {"abnormal", "异常("}};
            EXPECT_EQ(status.rfind(prefixes.at(row.at("status_word")), 0), 0u);
            EXPECT_NE(status.find("(" + std::to_string(row.at("limit").get<uint64_t>()) + unit + ")"),
                      std::string::npos);
        }
        if (table.at("isMakerDisk").get<bool>())
            EXPECT_FALSE(table.at("rows")[0].at("name").is_null());
        else
            EXPECT_TRUE(table.at("rows")[0].at("name").is_null()) << "no names for another maker's attributes";
    }
}

TEST(CliTyped, TheDriveAndItsHealth)
{
    const auto hot = nlohmann::json::parse(
        runCommand("QUILLFENCE_DEVICES='" + kDemo + "' '" QUILLFENCE_CLI "' smart 9 --json").out);
    EXPECT_EQ(hot.at("json_format_version"), 1);
    EXPECT_EQ(hot.at("program").at("arguments"), nlohmann::json::parse(R"(["smart", "9", "--json"])"));
    EXPECT_EQ(hot.at("device"), "\\\\.\\PHYSICALDRIVE9");
    EXPECT_EQ(hot.at("bus"), "sata");
    EXPECT_EQ(hot.at("life"), 89);
    EXPECT_EQ(hot.at("health"), nlohmann::json::parse(R"({"level": "良好", "word": "good"})"));
    const auto worn = nlohmann::json::parse(
        runCommand("QUILLFENCE_DEVICES='" + kDemo + "' '" QUILLFENCE_CLI "' smart 8 --json").out);
    EXPECT_EQ(worn.at("health"), nlohmann::json::parse(R"({"level": "警告", "word": "warning"})"));
    const auto usb = nlohmann::json::parse(
        runCommand("QUILLFENCE_DEVICES='" + kDemo + "' '" QUILLFENCE_CLI "' smart 14 --json").out);
    EXPECT_EQ(usb.at("bus"), "usb");
    EXPECT_EQ(usb.at("busType"), 7);
    EXPECT_EQ(usb.at("capacity_bytes").get<uint64_t>(), 240057409536u);
}

TEST(CliExitStatus, EachBit)
{
    const std::string unwritable = testing::TempDir() + "no-such-folder/metrics.prom";
    struct Case {
        std::string arguments;
        int status;
        const char* why;
    };
    const Case cases[] = {
        {"smart 7", 0, "a maker's drive within every limit"},
        {"smart 13", 0, "another maker's drive"},
        {"smart 99", 1, "not in the list"},
        {"smart 15", 1, "IDENTIFY fails"},
        {"smart 7 --all", 2, "N and --all"},
        {"smart 7 --nocheck", 2, "--nocheck without its word"},
        {"metrics --json", 2, "metrics print no JSON"},
        {"smart 16", 4, "SMART is not supported"},
        {"smart 9", 8, "the highest temperature over its limit"},
        {"smart 11", 8, "a capacitor at risk"},
        {"smart 8", 8, "worn: over limits, health level 警告"},
        {"smart --all", 1 | 4 | 8, "every listed drive, each what it calls for"},
        {"metrics", 1 | 4 | 8, "the same for the metrics"},
        {"metrics --output '" + unwritable + "'", 1 | 4 | 8 | 16, "and the file cannot be written"},
        {"list", 1, "drive 15's identity could not be read; the list judges no SMART"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(logged(c.arguments, kDemo).run.exitCode, c.status) << c.arguments << ": " << c.why;
}

TEST(CliExitStatus, ADriveThatWarnsStillPrintsItsTable)
{
    const LoggedRun hot = logged("smart 9", kDemo);
    EXPECT_EQ(hot.run.exitCode, 8);
    EXPECT_NE(hot.run.out.find("#1002(70℃)"), std::string::npos);
    EXPECT_NE(hot.run.out.find("健康指标 良好"), std::string::npos);
}

TEST(CliReads, SmartNSendsItsCommandsToDriveNAlone)
{
    const LoggedRun one = logged("smart 7 --json", kDemo);
    ASSERT_EQ(one.run.exitCode, 0);
    std::vector<std::string> codes;
    for (const std::string& line : one.log) {
        const auto [drive, code] = driveAndCommand(line);
        EXPECT_EQ(drive, 7) << line;
        codes.push_back(code);
    }
    EXPECT_EQ(codes, (std::vector<std::string>{"EC", "B0", "B0"})) << "IDENTIFY DEVICE and the two SMART reads";
}

TEST(CliReads, SmartAllReadsEveryListedDriveOnce)
{
    const LoggedRun all = logged("smart --all --json", kDemo);
    const auto disks = nlohmann::json::parse(all.run.out).at("disks");
    ASSERT_EQ(disks.size(), 16u);
    std::map<int, int> commands;
    for (const std::string& line : all.log)
        ++commands[driveAndCommand(line).first];
    // IDENTIFY DEVICE and the two SMART reads; Identify Controller and the
    // health log of the NVMe drive.
    size_t total = 0;
    for (const auto& disk : disks) {
        const int expected = disk.at("bus") == "nvme" ? 2 : 3;
        EXPECT_EQ(commands[disk.at("diskNum").get<int>()], expected) << disk.at("diskNum");
        total += expected;
    }
    EXPECT_EQ(all.log.size(), total);
    EXPECT_EQ(disks[5].at("rows").size(), 15u);
    EXPECT_TRUE(disks[13].at("rows").empty()) << "drive 15 was not identified";
}

// Drive 1 (SATA) and drive 2 (behind a USB bridge) are spun down.
const std::string kSleepyFleet = R"({"drives": [
  {"number": 0, "length": 1073741824, "volumes": [{"letter": "C", "total": 1073741824, "free": 0}],
   "identity": {"serial": "SYS0", "model": "System Disk", "firmware": "1"}},
  {"number": 1, "length": 1073741824, "power": "standby",
   "identity": {"serial": "S1", "model": "QY-M7A0-128G", "firmware": "1"},
   "smart": {"attributes": [{"id": 231, "value": 90}]}},
  {"number": 2, "length": 1073741824, "bus": "usb", "power": "standby",
   "identity": {"serial": "S2", "model": "Stick", "firmware": "1"}},
  {"number": 3, "length": 1073741824, "identity": {"serial": "S3", "model": "Awake", "firmware": "1"}}]})";

TEST(CliStandby, ADriveInStandbyReceivesNothingButTheQuestion)
{
    const std::string fleet = writeFleet("sleepy-fleet.json", kSleepyFleet);
    for (int drive : {1, 2}) {
        SCOPED_TRACE(drive);
        const LoggedRun run = logged("smart " + std::to_string(drive) + " --json --nocheck standby", fleet);
        EXPECT_EQ(run.run.exitCode, 0) << "skipping is what was asked";
        const auto out = nlohmann::json::parse(run.run.out);
        EXPECT_TRUE(out.at("skipped").get<bool>());
        EXPECT_EQ(out.at("power_mode"), "standby");
        EXPECT_EQ(out.at("valid"), 0);
        EXPECT_TRUE(out.at("rows").empty());
        ASSERT_EQ(run.log.size(), 1u);
        EXPECT_EQ(driveAndCommand(run.log[0]), std::make_pair(drive, std::string("E5")));
        EXPECT_NE(run.log[0].find("length=0"), std::string::npos);
    }
    const LoggedRun awake = logged("smart 3 --nocheck standby", fleet);
    EXPECT_EQ(awake.run.exitCode, 0);
    ASSERT_EQ(awake.log.size(), 4u) << "the question, then the read";
    EXPECT_EQ(driveAndCommand(awake.log[0]).second, "E5");
    EXPECT_NE(awake.run.out.find("Awake"), std::string::npos);

    const LoggedRun text = logged("smart --all --nocheck standby", fleet);
    EXPECT_NE(text.run.out.find("PhysicalDrive1  in standby: not read"), std::string::npos) << text.run.out;
    EXPECT_NE(text.run.out.find("PhysicalDrive2  in standby: not read"), std::string::npos) << text.run.out;
    EXPECT_EQ(text.log.size(), 3u + 3u) << "three questions, one read";

    // Without the option the drive is read, and so woken.
    const LoggedRun woken = logged("smart 1 --json", fleet);
    EXPECT_EQ(woken.log.size(), 3u);
    EXPECT_EQ(nlohmann::json::parse(woken.run.out).at("life"), 90);
}

TEST(CliStandby, AnNvmeDriveIsNotAskedItsPowerMode)
{
    const LoggedRun run = logged("smart 17 --json --nocheck standby", kDemo);
    const auto out = nlohmann::json::parse(run.run.out);
    EXPECT_FALSE(out.at("skipped").get<bool>());
    EXPECT_TRUE(out.at("power_mode").is_null());
    std::vector<std::string> codes;
    for (const std::string& line : run.log)
        codes.push_back(driveAndCommand(line).second);
    EXPECT_EQ(codes, (std::vector<std::string>{"06", "02"})) << "Identify Controller and the health log only";
}

TEST(CliSystemDisk, ListedAndReadOnlyOnRequestAndItsFirmwareNeverUpdated)
{
    const std::string fleet = writeFleet("system-fleet.json", kSleepyFleet);
    const auto without = nlohmann::json::parse(logged("list --json", fleet).run.out).at("disks");
    EXPECT_EQ(without[0].at("diskNum"), 1);
    const auto with = nlohmann::json::parse(logged("list --json --include-system", fleet).run.out).at("disks");
    ASSERT_EQ(with.size(), 4u);
    EXPECT_EQ(with[0].at("diskNum"), 0);
    EXPECT_TRUE(with[0].at("isSystemDisk").get<bool>());
    EXPECT_EQ(with[0].at("partitions")[0].at("letter"), "C");

    EXPECT_EQ(logged("smart 0 --json", fleet).run.exitCode, 1);
    const LoggedRun system = logged("smart 0 --json --include-system", fleet);
    EXPECT_EQ(system.run.exitCode, 0);
    EXPECT_EQ(nlohmann::json::parse(system.run.out).at("serialNumber"), "SYS0");

    const std::string err = testing::TempDir() + "cli-system-update.txt";
    const CommandRun update = runCommand("QUILLFENCE_DEVICES='" + fleet + "' '" QUILLFENCE_CLI
                                         "' update-firmware 0 --yes 2>" + err);
    EXPECT_EQ(update.exitCode, 1);
    EXPECT_NE(fileText(err).find("physical drive 0 holds the system: its firmware is not updated"), std::string::npos)
        << fileText(err);
}

TEST(CliText, DriveTextsCannotWriteToTheTerminal)
{
    const std::string fleet = writeFleet("escape-fleet.json", R"({"drives": [
      {"number": 0, "length": 1073741824, "volumes": [{"letter": "C", "total": 1, "free": 0}]},
      {"number": 1, "length": 1073741824,
       "volumes": [{"letter": "D", "total": 1, "free": 0, "mountPoint": "/media/a\u001bb"}],
       "identity": {"serial": "S\u0007", "model": "Evil\u001b[2J\nModel\u009b1m", "firmware": "F\r1",
                    "wwn": "5000C500A1B2C3D4"}}]})");
    for (const char* arguments : {"list", "smart 1"}) {
        const CommandRun run = logged(arguments, fleet).run;
        EXPECT_EQ(run.out.find_first_of(std::string("\x1b\x07\r", 3)), std::string::npos) << arguments;
        EXPECT_EQ(run.out.find("\xC2\x9B"), std::string::npos) << arguments << ": no C1 control either";
        // The fleet stores the model's UTF-8 bytes, read back as Latin-1: C2h
        // is "Â", 9Bh the C1 control CSI.
        EXPECT_NE(run.out.find("Evil\\x1B[2J\\x0AModel\u00C2\\x9B1m"), std::string::npos) << run.out;
    }
    const CommandRun list = logged("list", fleet).run;
    EXPECT_NE(list.out.find("firmware \"F\\x0D1\""), std::string::npos) << list.out;
    EXPECT_NE(list.out.find("/media/a\\x1Bb"), std::string::npos) << list.out;

    const auto json = nlohmann::json::parse(logged("list --json", fleet).run.out).at("disks")[0];
    EXPECT_EQ(json.at("model"), "Evil\x1b[2J\nModel\u00C2\u009B" "1m") << "JSON carries the text as it is, escaped by JSON";
    EXPECT_EQ(json.at("wwn"), "5000c500a1b2c3d4");
    EXPECT_EQ(json.at("partitions")[0].at("mount_point"), "/media/a\x1b" "b");
}

// A drive another program is updating (its writer's lock held elsewhere):
// every command says it is busy and nothing reaches the drive; the other
// drives are read as ever.
TEST(CliBusy, ADriveAnotherProgramUpdatesIsBusyAndSentNothing)
{
    const std::string fleet = writeFleet("busy-fleet.json", R"({"drives": [
        {"number": 0, "length": 1073741824, "volumes": [{"letter": "C", "total": 1073741824, "free": 0}]},
        {"number": 1, "length": 137438953472, "locked": true,
         "identity": {"serial": "QYBUSY01", "model": "QYD-M7A0-128G", "firmware": "0208a"}},
        {"number": 2, "length": 1073741824, "identity": {"serial": "FREE02", "model": "Other", "firmware": "1"}}]})");
    const std::string busy = "busy: another program is updating its firmware; nothing was sent to it";
    const std::string err = testing::TempDir() + "cli-busy-error.txt";
    struct Case {
        const char* arguments;
        int exitCode;
        const char* out;    // in standard output; empty: none
        const char* said;   // on standard error; empty: nothing
    };
    const Case cases[] = {
        {"smart 1", 1, "", "quillfence-cli: physical drive 1 is"},
        {"smart 1 --json", 1, "", "quillfence-cli: physical drive 1 is"},
        {"smart --all", 1, "PhysicalDrive1  busy: another program", ""},
        {"list", 1, "  busy: another program is updating its firmware", ""},
        {"list --json", 1, R"("busy":true)", ""},
        {"update-firmware 1 --yes", 1, "", "quillfence-cli: physical drive 1 is"},
    };
    for (const Case& c : cases) {
        const LoggedRun result = logged(c.arguments, fleet);
        std::filesystem::remove(err);
        const CommandRun run = runCommand("QUILLFENCE_DEVICES='" + fleet + "' '" QUILLFENCE_CLI "' " + c.arguments +
                                          " 2>'" + err + "'");
        EXPECT_EQ(result.run.exitCode, c.exitCode) << c.arguments;
        EXPECT_EQ(run.out, result.run.out) << c.arguments;
        if (*c.out)
            EXPECT_NE(run.out.find(c.out), std::string::npos) << c.arguments << ": " << run.out;
        else
            EXPECT_TRUE(run.out.empty()) << c.arguments << ": " << run.out;
        if (*c.said)
            EXPECT_NE(fileText(err).find(std::string(c.said) + " " + busy), std::string::npos)
                << c.arguments << ": " << fileText(err);
        for (const std::string& line : result.log)
            EXPECT_NE(driveAndCommand(line).first, 1) << c.arguments << ": " << line;
    }
}

}  // namespace
