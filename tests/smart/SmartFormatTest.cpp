#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "smart/core/SmartFormat.h"
#include "smart/core/SmartSector.h"

namespace smart {
namespace {

struct CarveCase {
    RawBytes bytes;  // least significant first
    int firstByte;
    int lastByte;
    uint64_t expected;
};

TEST(SmartFormat, CarvesLittleEndianRanges) {
    const CarveCase cases[] = {
        {{0x2C, 0x01, 0, 0, 0, 0}, 0, 1, 300},
        {{0x1E, 0x00, 0x1A, 0x00, 0x2D, 0x00}, 0, 1, 30},
        {{0x1E, 0x00, 0x1A, 0x00, 0x2D, 0x00}, 2, 3, 26},
        {{0x1E, 0x00, 0x1A, 0x00, 0x2D, 0x00}, 4, 5, 45},
        {{0x01, 0x02, 0x03, 0x04, 0x05, 0x06}, 0, 3, 0x04030201},
        {{0x01, 0x02, 0x03, 0x04, 0x05, 0x06}, 5, 5, 0x06},
        {{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, 0, 5, 0xFFFFFFFFFFFFULL},
        // Reversed ranges, and ranges outside the six bytes, give 0.
        {{0x01, 0x02, 0x03, 0x04, 0x05, 0x06}, 3, 2, 0},
        {{0x01, 0x02, 0x03, 0x04, 0x05, 0x06}, -1, 1, 0},
        {{0x01, 0x02, 0x03, 0x04, 0x05, 0x06}, 4, 6, 0},
    };
    for (const CarveCase& c : cases) {
        EXPECT_EQ(CarveValue(c.bytes, c.firstByte, c.lastByte), c.expected)
            << "bytes " << c.firstByte << "-" << c.lastByte;
    }
}

TEST(SmartSector, ReadDataCarriesAtLeastItsRevision) {
    SmartDataSector sector{};
    EXPECT_FALSE(SmartDataRead(sector));  // what a failed read leaves
    sector[0] = 0x10;                       // revision, no attribute
    EXPECT_TRUE(SmartDataRead(sector));
    sector[0] = 0;
    sector[kSmartDataLength - 1] = 1;
    EXPECT_TRUE(SmartDataRead(sector));
}

TEST(SmartFormat, IdIsTwoUpperCaseHexDigits) {
    EXPECT_EQ(FormatId(9), "09");
    EXPECT_EQ(FormatId(12), "0C");
    EXPECT_EQ(FormatId(194), "C2");
    EXPECT_EQ(FormatId(254), "FE");
    EXPECT_EQ(FormatId(0), "00");
}

TEST(SmartFormat, BytesAreDecimalWithoutLeadingZeros) {
    EXPECT_EQ(FormatByte(0), "0");
    EXPECT_EQ(FormatByte(7), "7");
    EXPECT_EQ(FormatByte(255), "255");
}

TEST(SmartFormat, RawValueIsMostSignificantFirstWithTrailingBlank) {
    EXPECT_EQ(FormatRawValue({0x00, 0x00, 0x00, 0x00, 0x01, 0x2C}), "0x00 00 00 00 01 2C ");
    EXPECT_EQ(FormatRawValue({0x01, 0x00, 0x00, 0x00, 0x00, 0x01}), "0x01 00 00 00 00 01 ");
    EXPECT_EQ(FormatRawValue({0xAB, 0xCD, 0xEF, 0x0A, 0xFF, 0x10}), "0xAB CD EF 0A FF 10 ");
}

TEST(SmartFormat, RawValueToolTipAddsTheWhole48BitNumber) {
    EXPECT_EQ(RawValueToolTip({0x00, 0x00, 0x00, 0x00, 0x01, 0x2C}), "0x00 00 00 00 01 2C\n十进制：300");
    EXPECT_EQ(RawValueToolTip({0x00, 0x4A, 0x00, 0x15, 0x00, 0x2D}), "0x00 4A 00 15 00 2D\n十进制：317828956205");
    EXPECT_EQ(RawValueToolTip({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}), "0xFF FF FF FF FF FF\n十进制：281474976710655");
}

TEST(SmartFormat, CurrentValueIsNumberFollowedDirectlyByUnit) {
    EXPECT_EQ(FormatCurrentValue(300, "小时"), "300小时");
    EXPECT_EQ(FormatCurrentValue(38, "℃"), "38℃");
    EXPECT_EQ(FormatCurrentValue(0, "次"), "0次");
    EXPECT_EQ(FormatCurrentValue(1099511627777ULL, ""), "1099511627777");
    EXPECT_EQ(FormatCurrentValue(18446744073709551615ULL, "扇区"), "18446744073709551615扇区");
}

TEST(SmartFormat, RowCellsFollowColumnOrder) {
    SmartRow row;
    row.id = 0xC2;
    row.value = 100;
    row.worst = 5;
    row.threshold = 0;
    row.raw = {0x00, 0x2D, 0x00, 0x1A, 0x00, 0x1E};
    row.description = "最大温度";
    row.currentValue = "45℃";
    row.status = "OK(70℃)";

    const SmartCells expected = {"C2", "最大温度", "100", "5", "0", "45℃", "0x00 2D 00 1A 00 1E ",
                                 "OK(70℃)"};
    EXPECT_EQ(SmartRowCells(row), expected);
}

TEST(SmartFormat, ColumnTitlesInColumnOrder) {
    const std::vector<std::string> expected = {"ID",        "Description",  "Value",    "Worst",
                                               "Threshold", "CurrentValue", "RawValue", "Status"};
    EXPECT_EQ(std::vector<std::string>(kSmartColumnTitles.begin(), kSmartColumnTitles.end()),
              expected);
}

}  // namespace
}  // namespace smart
