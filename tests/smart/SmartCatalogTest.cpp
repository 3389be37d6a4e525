#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "smart/core/SmartCatalog.h"

namespace smart {
namespace {

// One line per entry: ID, name, bytes, unit, where the limit comes from, code.
std::vector<std::string> Listing(const std::vector<SmartAttrDesc>& table) {
    std::vector<std::string> lines;
    for (const SmartAttrDesc& d : table) {
        char id[3];
        std::snprintf(id, sizeof id, "%02X", d.id);
        lines.push_back(std::string(id) + " " + d.name + " " + std::to_string(d.firstByte) + "-" +
                        std::to_string(d.lastByte) + " " + d.unit + " " +
                        (d.limitFromDrive ? "drive" : std::to_string(d.limit)) + " " + d.code);
    }
    return lines;
}

TEST(SmartCatalog, M7A0TableFor240G) {
    const std::vector<std::string> expected = {
        "09 带电工作时间 0-1 小时 0 ",      "0C 上电次数 0-1 次 0 ",
        "A9 新增坏块数 4-5 个 0 ",          "D0 平均磨损次数 0-3 次 1000 #1004",
        "C0 异常掉电次数 0-1 次 5000 #1001", "C2 当前温度 0-1 ℃ 0 ",
        "C2 最小温度 2-3 ℃ 0 ",             "C2 最大温度 4-5 ℃ 70 #1002",
        "E7 剩余寿命 0-1 % 0 ",             "EA Nand读取量 0-5 扇区 0 ",
        "E9 Nand写入量 0-5 扇区 0 ",        "F2 Host读取量 0-5 扇区 0 ",
        "FE 电容 0-5 微法 90 #1003",        "F1 Host写入量 0-5 扇区 188978561024 #1000",
        "A9 总坏块数 2-3 个 2124 #1003",
    };
    EXPECT_EQ(Listing(BuildAttrTable("QF M7A0 240G", true)), expected);
}

TEST(SmartCatalog, M7B0TableForPNDX480G) {
    const std::vector<std::string> expected = {
        "09 带电工作时间 0-1 小时 0 ",      "0C 上电次数 0-1 次 0 ",
        "A9 新增坏块数 4-5 个 drive ",      "AD 平均磨损次数 0-1 次 3000 #1004",
        "AD 最大磨损次数 2-3 次 0 ",        "AD 最小磨损次数 4-5 次 0 ",
        "C0 异常掉电次数 0-1 次 5000 #1001", "BE 当前温度 0-1 ℃ 0 ",
        "BE 最小温度 2-3 ℃ 0 ",             "BE 最大温度 4-5 ℃ 70 #1002",
        "E9 剩余寿命 0-3 % 0 ",             "FA Nand读取量 0-5 扇区 0 ",
        "F9 Nand写入量 0-5 扇区 0 ",        "F2 Host读取量 0-5 扇区 0 ",
        "FE 电容 0-5 微法 90 #1003",        "F1 Host写入量 0-5 扇区 1889785610240 #1000",
        "A9 总坏块数 2-3 个 8192 #1003",
    };
    EXPECT_EQ(Listing(BuildAttrTable("QF-PNDX480G-M7B0", true)), expected);
}

TEST(SmartCatalog, DriveLimitTable) {
    const std::vector<std::string> expected = {
        "09 带电工作时间 0-1 小时 drive ",    "0C 上电次数 0-1 次 drive ",
        "A9 总坏块数 2-3 个 drive #1003",     "A9 新增坏块数 4-5 个 drive ",
        "D0 平均磨损次数 0-3 次 drive #1004", "C0 异常掉电次数 0-1 次 drive #1001",
        "C2 当前温度 0-1 ℃ drive ",           "C2 最小温度 2-3 ℃ drive ",
        "C2 最大温度 4-5 ℃ drive #1002",      "E7 剩余寿命 0-1 % drive ",
        "E9 Nand写入量 0-5 扇区 drive ",      "EA Nand读取量 0-5 扇区 drive ",
        "F1 Host写入量 0-5 扇区 drive #1000", "F2 Host读取量 0-5 扇区 drive ",
        "FE 电容 0-5 微法 drive #1003",
    };
    EXPECT_EQ(Listing(BuildAttrTable("QF-S100-512", true)), expected);
}

enum class Kind { None, M7A0, M7B0, DriveLimit };

// The attribute IDs of each table, which tell the tables apart.
std::vector<int> IdsOf(Kind kind, bool withCapacity) {
    std::vector<int> ids;
    switch (kind) {
    case Kind::None:
        return {};
    case Kind::M7A0:
        ids = {9, 12, 169, 208, 192, 194, 194, 194, 231, 234, 233, 242, 254};
        break;
    case Kind::M7B0:
        ids = {9, 12, 169, 173, 173, 173, 192, 190, 190, 190, 233, 250, 249, 242, 254};
        break;
    case Kind::DriveLimit:
        return {9, 12, 169, 169, 208, 192, 194, 194, 194, 231, 233, 234, 241, 242, 254};
    }
    if (withCapacity) ids.insert(ids.end(), {241, 169});
    return ids;
}

struct ChoiceCase {
    const char* label;
    const char* model;
    bool isMakerDisk;
    Kind kind;
    uint64_t hostWriteLimit;  // 0: no capacity entries
    uint64_t totalBadBlockLimit;
};

class SmartCatalogChoice : public ::testing::TestWithParam<ChoiceCase> {};

TEST_P(SmartCatalogChoice, ChoosesTableAndCapacity) {
    const ChoiceCase& c = GetParam();
    const std::vector<SmartAttrDesc> table = BuildAttrTable(c.model, c.isMakerDisk);

    std::vector<int> ids;
    for (const SmartAttrDesc& d : table) ids.push_back(d.id);
    EXPECT_EQ(ids, IdsOf(c.kind, c.hostWriteLimit != 0));

    if (c.hostWriteLimit != 0) {
        ASSERT_GE(table.size(), 2u);
        const SmartAttrDesc& hostWrite = table[table.size() - 2];
        const SmartAttrDesc& badBlocks = table.back();
        EXPECT_EQ(hostWrite.name, "Host写入量");
        EXPECT_EQ(hostWrite.limit, c.hostWriteLimit);
        EXPECT_EQ(badBlocks.name, "总坏块数");
        EXPECT_EQ(badBlocks.limit, c.totalBadBlockLimit);
    }
}

const ChoiceCase kChoiceCases[] = {
    {"OtherMakerM7A0", "QF M7A0 128G", false, Kind::None, 0, 0},
    {"OtherMakerM7C0", "QF-PNDX240G-M7C0", false, Kind::None, 0, 0},
    {"OtherMakerEmptyModel", "", false, Kind::None, 0, 0},
    // M7A0: the capacity texts are looked for in a fixed order, anywhere.
    {"M7A0_120G", "QF M7A0 120G", true, Kind::M7A0, 94489280512ULL, 1062},
    {"M7A0_128G", "QF M7A0 128G", true, Kind::M7A0, 94489280512ULL, 768},
    {"M7A0_240G", "240GM7A0", true, Kind::M7A0, 188978561024ULL, 2124},
    {"M7A0_256G", "QF-M7A0-256G", true, Kind::M7A0, 188978561024ULL, 1536},
    {"M7A0_480G", "QF M7A0 480G", true, Kind::M7A0, 377957122048ULL, 4248},
    {"M7A0_512G", "QF M7A0 512G", true, Kind::M7A0, 377957122048ULL, 3072},
    {"M7A0_120GBefore512G", "QF M7A0 512G 120G", true, Kind::M7A0, 94489280512ULL, 1062},
    {"M7A0FourParts", "QF-M7A0-480G-X", true, Kind::M7A0, 377957122048ULL, 4248},
    {"M7A0WithoutCapacity", "QF-M7A0-X1", true, Kind::DriveLimit, 0, 0},
    {"M7A0WithoutCapacityThirdM7B0", "M7A0-PNDX64G-M7B0", true, Kind::M7B0, 107374182400ULL, 1024},
    {"M7A0LowerCase", "qf m7a0 128g", true, Kind::DriveLimit, 0, 0},
    {"CapacityWithoutM7A0", "QF 128G", true, Kind::DriveLimit, 0, 0},
    // M7B0: third part exact, second part one of the seven codes or nothing.
    {"M7C0_PNDX240G", "QF-PNDX240G-M7C0", true, Kind::M7B0, 644245094400ULL, 4096},
    {"M7C0UnknownCode", "QF-PNDX240-M7C0", true, Kind::M7B0, 0, 0},
    {"M7B0_PNDX32G", "QF-PNDX32G-M7B0", true, Kind::M7B0, 53687091200ULL, 512},
    {"M7B0_PNDX64G", "QF-PNDX64G-M7B0", true, Kind::M7B0, 107374182400ULL, 1024},
    {"M7B0_PNDX120G", "QF-PNDX120G-M7B0", true, Kind::M7B0, 354334801920ULL, 2048},
    {"M7B0_PNDX128G", "QF-PNDX128G-M7B0", true, Kind::M7B0, 214748364800ULL, 2048},
    {"M7B0_PNDX256G", "QF-PNDX256G-M7B0", true, Kind::M7B0, 429496729600ULL, 4096},
    {"M7B0M_PNDX480G", "QF-PNDX480G-M7B0M", true, Kind::M7B0, 1889785610240ULL, 8192},
    {"EmptyFirstPart", "-PNDX32G-M7B0", true, Kind::M7B0, 53687091200ULL, 512},
    {"SecondPartNotExact", "QF-XPNDX240G-M7B0", true, Kind::M7B0, 0, 0},
    {"SecondPartLowerCase", "QF-pndx240g-M7B0", true, Kind::M7B0, 0, 0},
    {"ThirdPartLowerCase", "QF-PNDX240G-m7b0", true, Kind::DriveLimit, 0, 0},
    {"ThirdPartTrailingBlank", "QF-PNDX240G-M7B0 ", true, Kind::DriveLimit, 0, 0},
    {"FourParts", "QF-PNDX240G-M7B0-1", true, Kind::DriveLimit, 0, 0},
    {"FourPartsEmptyLast", "QF-PNDX240G-M7B0-", true, Kind::DriveLimit, 0, 0},
    {"TwoParts", "PNDX240G-M7B0", true, Kind::DriveLimit, 0, 0},
    {"EmptyModel", "", true, Kind::DriveLimit, 0, 0},
};

INSTANTIATE_TEST_SUITE_P(Cases, SmartCatalogChoice, ::testing::ValuesIn(kChoiceCases),
                         [](const ::testing::TestParamInfo<ChoiceCase>& info) {
                             return std::string(info.param.label);
                         });

TEST(SmartCatalog, ModelTextStopsAtNul) {
    PhyDiskInfo disk;
    std::memset(&disk, 0, sizeof disk);
    std::strcpy(disk.model, "QF-PNDX240G-M7C0\xE9");
    EXPECT_EQ(ModelText(disk), "QF-PNDX240G-M7C0\xE9");  // Latin-1 bytes kept as they are
}

// A model field filled to the last byte has no NUL; the text must end with
// the field and not run on into the firmware text behind it.
TEST(SmartCatalog, ModelTextWithoutNulEndsWithTheField) {
    PhyDiskInfo disk;
    std::memset(&disk, 0, sizeof disk);
    std::memset(disk.model, 'X', sizeof disk.model);
    std::strcpy(disk.firmware, "M7A0 128G");

    const std::string model = ModelText(disk);
    EXPECT_EQ(model, std::string(sizeof disk.model, 'X'));
    EXPECT_EQ(BuildAttrTable(model, true).size(), 15u);
    EXPECT_TRUE(BuildAttrTable(model, true).front().limitFromDrive);  // drive-limit table
}

}  // namespace
}  // namespace smart
