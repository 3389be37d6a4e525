// What quillfence-cli tells people: a table whose columns line up on a
// terminal, a SMART table without rows that says why, a metrics file that
// cannot be written named with the system's reason, the disk layer's
// diagnostics in Linux terms, and a list that fails for a drive it could not
// identify.

#include "RunCommand.h"
#include "TestFiles.h"
#include "cli/DisplayWidth.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <locale.h>

#include <cwchar>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

const std::string kDemo = QUILLFENCE_SOURCE_DIR "/data/demo-fleet.json";
// NVMe drives with every critical-warning bit, eight sensors and counters up
// to 2^128 - 1; an ATA drive with all 30 attribute slots.
const std::string kEdges = QUILLFENCE_SOURCE_DIR "/tests/cli/edge-fleet.json";

std::vector<std::string> linesOf(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    return lines;
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

// glibc's wcwidth() in a UTF-8 locale, whatever the test's own locale is.
class TerminalWidth {
public:
    TerminalWidth() : utf8_(newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0))) {}
    ~TerminalWidth()
    {
        if (utf8_)
            freelocale(utf8_);
    }
    bool available() const { return utf8_ != static_cast<locale_t>(0); }

    int ofCodePoint(uint32_t codePoint) const
    {
        const locale_t previous = uselocale(utf8_);
        const int width = wcwidth(static_cast<wchar_t>(codePoint));
        uselocale(previous);
        return width;
    }
    // The columns of a UTF-8 text.
    int ofText(const std::string& text) const
    {
        const locale_t previous = uselocale(utf8_);
        std::mbstate_t state{};
        int columns = 0;
        for (size_t at = 0; at < text.size();) {
            wchar_t character = 0;
            const size_t length = std::mbrtowc(&character, text.data() + at, text.size() - at, &state);
            if (length == 0 || length > text.size() - at) {
                columns = -1;
                break;
            }
            columns += wcwidth(character);
            at += length;
        }
        uselocale(previous);
        return columns;
    }

private:
    locale_t utf8_;
};

TEST(CliDisplayWidth, CountsAsGlibcInAUtf8Locale)
{
    const TerminalWidth terminal;
    if (!terminal.available())
        GTEST_SKIP() << "no C.UTF-8 locale";
    // The characters of drive texts, the ambiguous ones the tables print, and
    // every assigned character of the East Asian blocks (combining marks,
    // which take no column, are never printed).
    std::vector<std::pair<uint32_t, uint32_t>> blocks = {
        {0x20, 0x7E}, {0xA0, 0xFF}, {0x2103, 0x2103}, {0x1100, 0x11FF}, {0x2E80, 0xFFFD}, {0x20000, 0x3FFFD}};
    int compared = 0;
    for (const auto& [first, last] : blocks) {
        for (uint32_t c = first; c <= last; ++c) {
            const int expected = terminal.ofCodePoint(c);
            if (expected < 1)
                continue;
            ASSERT_EQ(codePointWidth(c), expected) << std::hex << "U+" << c;
            ++compared;
        }
    }
    EXPECT_GT(compared, 100000);
    EXPECT_EQ(displayWidth("45℃"), 3u);
    EXPECT_EQ(displayWidth("严重警告：可靠性下降"), 20u);
    EXPECT_EQ(displayWidth("\xFF" "a"), 2u) << "a stray byte takes one column";
}

// Each cell of each row starts in the column of its title, as a terminal
// counts columns, also under LANG=C.
TEST(CliText, ColumnsLineUpOnATerminal)
{
    const TerminalWidth terminal;
    if (!terminal.available())
        GTEST_SKIP() << "no C.UTF-8 locale";
    struct Case {
        std::string fleet;
        int drive;
        const char* what;
    };
    const Case cases[] = {
        {kDemo, 9, "℃ in CurrentValue and Status"},
        {kDemo, 11, "a capacitor at risk"},
        {kDemo, 13, "another maker's drive: no descriptions"},
        {kDemo, 17, "an NVMe drive: fullwidth colons, bytes"},
        {kEdges, 1, "33 rows, raw values of 16 bytes, negative temperatures"},
        {kEdges, 3, "an ATA drive's 30 slots"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string drive = std::to_string(c.drive);
        const auto rows = nlohmann::json::parse(cli("smart " + drive + " --json", c.fleet).out).at("rows");
        const std::vector<std::string> lines = linesOf(cli("smart " + drive, c.fleet).out);
        ASSERT_GE(lines.size(), rows.size() + 2);
        static const char* const kTitles[] = {"ID",           "Description", "Value",  "Worst", "Threshold",
                                              "CurrentValue", "RawValue",    "Status"};
        // The column each cell of a line starts in (-1: an empty cell).
        auto columnsOf = [&](const std::string& line, auto cellOf) {
            std::vector<int> columns;
            size_t at = 0;
            for (int k = 0; k < 8; ++k) {
                const std::string cell = cellOf(k);
                if (cell.empty()) {
                    columns.push_back(-1);
                    continue;
                }
                at = line.find_first_not_of(' ', at);
                EXPECT_EQ(line.compare(at, cell.size(), cell), 0) << line << " | " << cell;
                columns.push_back(terminal.ofText(line.substr(0, at)));
                at += cell.size();
            }
            return columns;
        };
        const std::vector<int> titles = columnsOf(lines[1], [](int k) { return std::string(kTitles[k]); });
        for (size_t r = 0; r < rows.size(); ++r) {
            const std::vector<int> cells =
                columnsOf(lines[2 + r], [&](int k) { return rows[r].at(kTitles[k]).get<std::string>(); });
            for (int k = 0; k < 8; ++k)
                if (cells[k] >= 0)
                    EXPECT_EQ(cells[k], titles[k]) << kTitles[k] << " of\n" << lines[2 + r];
        }
    }
}

// A drive that did not answer, and one that answered without anything the
// table shows, as the SMART page tells them apart.
TEST(CliSmart, ATableWithoutRowsSaysWhy)
{
    const std::string fleet = writeFleet("no-rows-fleet.json", R"({"drives": [
      {"number": 0, "length": 1073741824, "volumes": [{"letter": "C", "total": 1073741824, "free": 0}]},
      {"number": 1, "length": 1073741824, "identity": {"serial": "S1", "model": "Plain", "firmware": "1"},
       "faults": ["smart"]},
      {"number": 2, "length": 1073741824, "bus": "nvme", "identity": {"serial": "S2", "model": "NVMe", "firmware": "1"},
       "health": {"percentageUsed": 5}, "faults": ["smart"]},
      {"number": 3, "length": 1073741824, "identity": {"serial": "S3", "model": "Plain", "firmware": "1"},
       "smart": {"attributes": []}},
      {"number": 4, "length": 1073741824, "identity": {"serial": "S4", "model": "QY-M7A0-128G", "firmware": "1"},
       "smart": {"attributes": [{"id": 5, "value": 100}]}}]})");
    struct Case {
        int drive;
        const char* note;
        int exit;
        const char* what;
    };
    const Case cases[] = {
        {1, "未能读取SMART信息", 4, "SMART READ DATA got no answer"},
        {2, "未能读取SMART信息", 4, "an NVMe drive's health log got no answer"},
        {3, "该磁盘未提供SMART属性", 0, "answered with no attribute"},
        {4, "该磁盘未提供SMART属性", 0, "a maker's drive with no catalogued attribute"},
    };
    std::string all;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const CliRun run = cli("smart " + std::to_string(c.drive), fleet);
        EXPECT_EQ(run.exitCode, c.exit);
        const std::vector<std::string> lines = linesOf(run.out);
        ASSERT_EQ(lines.size(), 2u) << run.out;
        EXPECT_EQ(lines[0].rfind("PhysicalDrive" + std::to_string(c.drive) + "  ", 0), 0u) << lines[0];
        EXPECT_EQ(lines[1], c.note) << "no column titles over an empty table";
        all += run.out + (&c == std::end(cases) - 1 ? "" : "\n");
    }
    EXPECT_EQ(cli("smart --all", fleet).out, all) << "each drive of --all as alone";
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

// The disk layer names what failed as a Linux user knows it: no Windows call
// and no bare error number.
TEST(CliDiagnostics, TheDiskLayerSpeaksInLinuxTerms)
{
    struct Case {
        const char* fleet;
        int exit;
        const char* err;
    };
    const Case cases[] = {
        {R"({"faults": ["systemDirectory"], "drives": [{"number": 0, "length": 1073741824}]})", 1,
         "quillfence: the volume mounted on / could not be found: Numerical result out of range\n"
         "quillfence-cli: the system disk could not be determined, so no disk is listed\n"},
        {R"({"systemDirectory": "X:\\Windows", "drives": [{"number": 0, "length": 1073741824}]})", 1,
         "quillfence: volume X: could not be looked up: No such file or directory\n"
         "quillfence-cli: the system disk could not be determined, so no disk is listed\n"},
        {R"({"drives": [
            {"number": 0, "length": 1073741824, "volumes": [{"letter": "C", "total": 1073741824, "free": 0}]},
            {"number": 1, "length": 1073741824, "identity": {"serial": "S1", "model": "Plain", "firmware": "1"},
             "volumes": [{"letter": "D", "total": 1073741824, "free": 0, "faults": ["open"]},
                         {"letter": "E", "total": 1073741824, "free": 0, "mountPoint": "/srv/e",
                          "faults": ["deviceNumber"]}]}]})",
         0,
         "quillfence: volume D: could not be looked up: Permission denied\n"
         "quillfence: the disk of volume E: (/srv/e) could not be determined: Inappropriate ioctl for device\n"},
    };
    int number = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fleet);
        const CliRun run = cli("list", writeFleet("diagnostics-fleet" + std::to_string(number++) + ".json", c.fleet));
        EXPECT_EQ(run.exitCode, c.exit);
        EXPECT_EQ(run.err, c.err);
    }
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
