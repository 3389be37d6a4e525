// The SMART table in the language shown: every marked text of its cells and
// tool tips goes through the lookup, in the context "smart", as a whole
// template; the values for scripts and the status tones stay those of the
// Chinese table.

#include <gtest/gtest.h>

#include <initializer_list>
#include <set>
#include <string>
#include <vector>

#include "common/TextLookup.h"
#include "disk/NvmeCommands.h"
#include "smart/core/SmartTable.h"
#include "tests/smart/SmartDiskBuilder.h"

namespace smart {
namespace {

using testing::RawAt;
using testing::SmartDiskBuilder;

// Shows every text in brackets, so that the cells show which texts were
// looked up and how the templates were filled; the contexts asked for are
// kept.
struct BracketLookup {
    std::set<std::string> contexts;
    texts::TextLookup lookup() {
        return [this](const char* context, const std::string& text) {
            contexts.insert(context);
            return "[" + text + "]";
        };
    }
};

TEST(ShownText, FillPutsTheValuesWhereTheTemplateSays) {
    struct Case {
        const char* textTemplate;
        std::initializer_list<std::string> values;
        const char* expected;
    };
    const Case cases[] = {
        {"健康指标由%1降为%2（剩余寿命%3%）", {"良好", "警告", "25"}, "健康指标由良好降为警告（剩余寿命25%）"},
        {"%2 then %1", {"a", "b"}, "b then a"},
        {"%3 rose from %2 to %1", {"a", "b", "c"}, "c rose from b to a"},
        {"%1%", {"90"}, "90%"},
        {"100% full, %1%", {"50"}, "100% full, 50%"},
        {"%1 and %1", {"x"}, "x and x"},
        {"a value's own %2 stays: %1", {"%2", "y"}, "a value's own y stays: %2"},
        {"no value for %3, a lone % and a trailing %", {"a", "b"}, "no value for %3, a lone % and a trailing %"},
        {"%0 %a %", {"x"}, "%0 %a %"},
        {"%9", {"1", "2", "3", "4", "5", "6", "7", "8", "nine"}, "nine"},
        {"", {"x"}, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(texts::fill(c.textTemplate, c.values), c.expected) << c.textTemplate;
    EXPECT_EQ(texts::shown({}, "smart", "剩余寿命"), "剩余寿命") << "no lookup: the source";
}

TEST(ShownText, AtaRowsAreWrittenThroughTheLookup) {
    const PhyDiskInfo disk = SmartDiskBuilder("QF M7A0 256G", true)
                                 .Attribute(0, 9, RawAt(4660), 100, 100)
                                 .Attribute(1, 194, {0x26, 0x00, 0x12, 0x00, 0x47, 0x00}, 100, 100)
                                 .Attribute(2, 254, RawAt(85), 100, 100)
                                 .Attribute(3, 231, RawAt(3), 97, 97)
                                 .Disk();
    BracketLookup shown;
    const std::vector<SmartTableRow> chinese = BuildSmartTable(disk, nullptr);
    const std::vector<SmartTableRow> table = BuildSmartTable(disk, nullptr, shown.lookup());

    const std::vector<SmartCells> expected = {
        {"09", "[带电工作时间]", "100", "100", "0", "[4660小时]", "0x00 00 00 00 12 34 ", ""},
        {"C2", "[当前温度]", "100", "100", "0", "[38℃]", "0x00 47 00 12 00 26 ", ""},
        {"C2", "[最小温度]", "100", "100", "0", "[18℃]", "0x00 47 00 12 00 26 ", ""},
        {"C2", "[最大温度]", "100", "100", "0", "[71℃]", "0x00 47 00 12 00 26 ", "[#1002([70℃])]"},
        {"E7", "[剩余寿命]", "97", "97", "0", "[97%]", "0x00 00 00 00 00 03 ", ""},
        {"FE", "[电容]", "100", "100", "0", "[85微法]", "0x00 00 00 00 00 55 ", "[OK([90微法])]"},
    };
    ASSERT_EQ(table.size(), expected.size());
    ASSERT_EQ(chinese.size(), expected.size());
    for (size_t i = 0; i < table.size(); ++i) {
        EXPECT_EQ(table[i].cells, expected[i]) << "row " << i;
        EXPECT_EQ(table[i].statusTone, chinese[i].statusTone) << "row " << i;
        EXPECT_EQ(table[i].row.description, chinese[i].row.description) << "row " << i;
        EXPECT_EQ(table[i].row.currentValue, chinese[i].row.currentValue) << "row " << i;
        EXPECT_EQ(table[i].row.status, chinese[i].row.status) << "row " << i;
    }
    EXPECT_EQ(table[0].rawToolTip, "[0x00 00 00 00 12 34\n十进制：4660]");
    EXPECT_EQ(shown.contexts, std::set<std::string>{"smart"});
}

TEST(ShownText, NvmeRowsAreWrittenThroughTheLookup) {
    using L = NvmeHealthLayout;
    PhyDiskInfo disk{};
    disk.valid = 1;
    disk.isNvme = 1;
    disk.nvmeHealthRead = 1;
    disk.nvmeHealth[L::kCriticalWarning] = 0x05;  // bits 0 and 2
    disk.nvmeHealth[L::kTemperature] = 318 & 0xFF;
    disk.nvmeHealth[L::kTemperature + 1] = 318 >> 8;
    disk.nvmeHealth[L::kAvailableSpare] = 5;
    disk.nvmeHealth[L::kSpareThreshold] = 10;
    BracketLookup shown;
    const std::vector<SmartTableRow> chinese = BuildSmartTable(disk, nullptr);
    const std::vector<SmartTableRow> table = BuildSmartTable(disk, nullptr, shown.lookup());

    ASSERT_EQ(table.size(), chinese.size());
    const std::vector<std::vector<std::string>> expected = {
        // Description, CurrentValue, Status
        {"[严重警告]", "[2项]", "[警告]"},
        {"[严重警告：[可用备用空间低于阈值]]", "[是]", "[警告]"},
        {"[严重警告：[可靠性下降]]", "[是]", "[警告]"},
        {"[综合温度]", "[45℃]", ""},
        {"[可用备用空间]", "[5%]", "[警告([10%])]"},
    };
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ((std::vector<std::string>{table[i].cells[kColumnDescription], table[i].cells[kColumnCurrentValue],
                                            table[i].cells[kColumnStatus]}),
                  expected[i])
            << "row " << i;
    }
    for (size_t i = 0; i < table.size(); ++i) {
        EXPECT_EQ(table[i].statusTone, chinese[i].statusTone) << "row " << i;
        EXPECT_EQ(table[i].row.description, chinese[i].row.description) << "row " << i;
        EXPECT_EQ(table[i].row.status, chinese[i].row.status) << "row " << i;
    }
    EXPECT_EQ(table[1].row.description, "严重警告：可用备用空间低于阈值");
    EXPECT_EQ(shown.contexts, std::set<std::string>{"smart"});
}

}  // namespace
}  // namespace smart
