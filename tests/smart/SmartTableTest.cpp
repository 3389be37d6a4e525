#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "smart/core/SmartTable.h"
#include "tests/smart/SmartDiskBuilder.h"

namespace smart {
namespace {

using testing::RawAt;
using testing::SmartDiskBuilder;

TEST(SmartTable, WritesCellsAndTonesOfEveryRow) {
    const PhyDiskInfo disk = SmartDiskBuilder("QF M7A0 256G", true)
                                 .Attribute(0, 9, RawAt(4660), 100, 100)
                                 .Attribute(1, 194, {0x26, 0x00, 0x12, 0x00, 0x47, 0x00}, 100, 100)
                                 .Threshold(1, 0)
                                 .Attribute(2, 231, RawAt(3), 97, 97)
                                 .Threshold(2, 10)
                                 .Disk();
    std::vector<int> lives;
    const std::vector<SmartTableRow> table =
        BuildSmartTable(disk, [&lives](int life) { lives.push_back(life); });

    const std::vector<SmartCells> expected = {
        {"09", "带电工作时间", "100", "100", "0", "4660小时", "0x00 00 00 00 12 34 ", ""},
        {"C2", "当前温度", "100", "100", "0", "38℃", "0x00 47 00 12 00 26 ", ""},
        {"C2", "最小温度", "100", "100", "0", "18℃", "0x00 47 00 12 00 26 ", ""},
        {"C2", "最大温度", "100", "100", "0", "71℃", "0x00 47 00 12 00 26 ", "#1002(70℃)"},
        {"E7", "剩余寿命", "97", "97", "10", "97%", "0x00 00 00 00 00 03 ", ""},
    };
    const StatusTone tones[] = {StatusTone::Default, StatusTone::Default, StatusTone::Default,
                                StatusTone::Alert, StatusTone::Default};
    ASSERT_EQ(table.size(), expected.size());
    for (size_t i = 0; i < table.size(); ++i) {
        EXPECT_EQ(table[i].cells, expected[i]) << "row " << i;
        EXPECT_EQ(table[i].statusTone, tones[i]) << "row " << i;
    }
    EXPECT_EQ(lives, std::vector<int>{97});
}

TEST(SmartTable, OtherMakersDiskHasPlainRows) {
    const PhyDiskInfo disk = SmartDiskBuilder("QF-PNDX240G-M7C0", false)
                                 .Attribute(0, 1, RawAt(0), 200, 200)
                                 .Threshold(0, 51)
                                 .Attribute(1, 231, {0x01, 0x00, 0x00, 0x00, 0x00, 0x01}, 97, 97)
                                 .Disk();
    bool reported = false;
    const std::vector<SmartTableRow> table =
        BuildSmartTable(disk, [&reported](int) { reported = true; });

    ASSERT_EQ(table.size(), 2u);
    EXPECT_EQ(table[0].cells, (SmartCells{"01", "", "200", "200", "51", "0",
                                          "0x00 00 00 00 00 00 ", ""}));
    EXPECT_EQ(table[1].cells, (SmartCells{"E7", "", "97", "97", "0", "1099511627777",
                                          "0x01 00 00 00 00 01 ", ""}));
    EXPECT_FALSE(reported);
}

struct ToneCase {
    const char* status;
    StatusTone tone;
};

TEST(SmartStatusTone, OkIsBlueOtherStatusesRedEmptyDefault) {
    const ToneCase cases[] = {
        {"OK(70℃)", StatusTone::Ok},
        {"OK", StatusTone::Ok},
        {"#1002(70℃)", StatusTone::Alert},
        {"风险(90微法)", StatusTone::Alert},
        {"异常(100微法)", StatusTone::Alert},
        {"Ok(70℃)", StatusTone::Alert},
        {"", StatusTone::Default},
        {"O", StatusTone::Default},
        {"异", StatusTone::Default},  // one character, three bytes
    };
    for (const ToneCase& c : cases) EXPECT_EQ(StatusToneOf(c.status), c.tone) << c.status;
    EXPECT_EQ(kStatusOkColour.blue, 255);
    EXPECT_EQ(kStatusOkColour.red + kStatusOkColour.green, 0);
    EXPECT_EQ(kStatusAlertColour.red, 255);
    EXPECT_EQ(kStatusAlertColour.green + kStatusAlertColour.blue, 0);
}

}  // namespace
}  // namespace smart
