#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "smart/core/SmartCatalog.h"
#include "smart/core/SmartEvaluate.h"
#include "smart/core/SmartFormat.h"
#include "tests/smart/SmartDiskBuilder.h"

namespace smart {
namespace {

using testing::RawAt;
using testing::SmartDiskBuilder;

const char* const kM7A0Model = "QF M7A0 120G";
const char* const kM7B0Model = "QF-PNDX240G-M7B0";
const char* const kDriveLimitModel = "QF-S100-512";

class SmartEvaluateTest : public ::testing::Test {
protected:
    // Chooses the disk's catalogue and evaluates it, recording every life
    // report together with the number of rows built at that moment.
    void Evaluate(const PhyDiskInfo& disk) {
        attrTable = BuildAttrTable(ModelText(disk), disk.isMakerDisk != 0);
        EvaluateWith(attrTable, disk);
    }

    void EvaluateWith(const std::vector<SmartAttrDesc>& table, const PhyDiskInfo& disk) {
        count = -1;
        EvaluateSmart(table, disk.isMakerDisk != 0, disk.smartData, disk.smartThreshold, rows,
                      count, [this](int life) {
                          lives.push_back(life);
                          rowsBuiltAtReport.push_back(count);
                      });
    }

    std::vector<std::string> Descriptions() const {
        std::vector<std::string> names;
        for (int i = 0; i < count; ++i) names.push_back(rows[i].description);
        return names;
    }

    const SmartRow& RowNamed(const std::string& name) const {
        for (int i = 0; i < count; ++i) {
            if (rows[i].description == name) return rows[i];
        }
        ADD_FAILURE() << "no row " << name;
        return missing;
    }

    std::vector<SmartAttrDesc> attrTable;
    SmartRows rows;
    int count = 0;
    std::vector<int> lives;
    std::vector<int> rowsBuiltAtReport;
    SmartRow missing;
};

TEST_F(SmartEvaluateTest, OneAttributeGivesThreeTemperatureRows) {
    Evaluate(SmartDiskBuilder(kM7A0Model, true)
                 .Attribute(4, 194, {0x1E, 0x00, 0x1A, 0x00, 0x2D, 0x00}, 100, 99)
                 .Threshold(4, 7)
                 .Disk());

    ASSERT_EQ(count, 3);
    const char* const names[] = {"当前温度", "最小温度", "最大温度"};
    const char* const values[] = {"30℃", "26℃", "45℃"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(rows[i].id, 194);
        EXPECT_EQ(rows[i].description, names[i]);
        EXPECT_EQ(rows[i].currentValue, values[i]);
        EXPECT_EQ(rows[i].value, 100);
        EXPECT_EQ(rows[i].worst, 99);
        EXPECT_EQ(rows[i].threshold, 7);
        EXPECT_EQ(FormatRawValue(rows[i].raw), "0x00 2D 00 1A 00 1E ");
    }
    EXPECT_EQ(rows[2].status, "OK(70℃)");
    EXPECT_TRUE(lives.empty());
}

struct StatusCase {
    const char* label;
    const char* model;
    uint8_t id;
    int firstByte;        // where value and drive limit sit
    uint64_t value;       // raw value from firstByte on
    uint64_t driveLimit;  // threshold bytes from 2 + firstByte on
    const char* name;
    const char* status;
};

class SmartStatusBoundary : public SmartEvaluateTest,
                            public ::testing::WithParamInterface<StatusCase> {};

TEST_P(SmartStatusBoundary, ShowsStatusWithLimit) {
    const StatusCase& c = GetParam();
    Evaluate(SmartDiskBuilder(c.model, true)
                 .Attribute(0, c.id, RawAt(c.value, c.firstByte))
                 .Threshold(0, 0, RawAt(c.driveLimit, c.firstByte))
                 .Disk());
    EXPECT_EQ(RowNamed(c.name).status, c.status);
}

const StatusCase kStatusCases[] = {
    // Catalogue limits: over the limit shows the code, up to it "OK".
    {"HighestTemperature70", kM7A0Model, 194, 4, 70, 0, "最大温度", "OK(70℃)"},
    {"HighestTemperature71", kM7A0Model, 194, 4, 71, 0, "最大温度", "#1002(70℃)"},
    {"M7A0Wear1000", kM7A0Model, 208, 0, 1000, 0, "平均磨损次数", "OK(1000次)"},
    {"M7A0Wear1001", kM7A0Model, 208, 0, 1001, 0, "平均磨损次数", "#1004(1000次)"},
    {"M7A0WearByte3", kM7A0Model, 208, 0, 0x01000000, 0, "平均磨损次数", "#1004(1000次)"},
    {"M7B0Wear3000", kM7B0Model, 173, 0, 3000, 0, "平均磨损次数", "OK(3000次)"},
    {"M7B0Wear3001", kM7B0Model, 173, 0, 3001, 0, "平均磨损次数", "#1004(3000次)"},
    {"M7B0WearOnlyBytes0To1", kM7B0Model, 173, 0, 0xFFFF0000ULL + 3000, 0, "平均磨损次数",
     "OK(3000次)"},
    {"PowerLoss5000", kM7A0Model, 192, 0, 5000, 0, "异常掉电次数", "OK(5000次)"},
    {"PowerLoss5001", kM7B0Model, 192, 0, 5001, 0, "异常掉电次数", "#1001(5000次)"},
    {"HostWriteAtLimit", kM7A0Model, 241, 0, 94489280512ULL, 0, "Host写入量",
     "OK(94489280512扇区)"},
    {"HostWriteOneMore", kM7A0Model, 241, 0, 94489280513ULL, 0, "Host写入量",
     "#1000(94489280512扇区)"},
    {"M7A0TotalBadBlocks1062", kM7A0Model, 169, 2, 1062, 0, "总坏块数", "OK(1062个)"},
    {"M7A0TotalBadBlocks1063", kM7A0Model, 169, 2, 1063, 0, "总坏块数", "#1003(1062个)"},
    // A catalogue capacitor fails high like every catalogue limit.
    {"M7A0Capacitor120", kM7A0Model, 254, 0, 120, 0, "电容", "#1003(90微法)"},
    {"M7A0Capacitor90", kM7A0Model, 254, 0, 90, 0, "电容", "OK(90微法)"},
    {"M7A0Capacitor80", kM7A0Model, 254, 0, 80, 0, "电容", "OK(90微法)"},
    {"M7B0Capacitor91", kM7B0Model, 254, 0, 91, 0, "电容", "#1003(90微法)"},
    // Drive limits, read from threshold bytes 2 + firstByte ... 2 + lastByte.
    {"DriveLimitTemperatureAt", kDriveLimitModel, 194, 4, 70, 70, "最大温度", "OK(70℃)"},
    {"DriveLimitTemperatureOver", kDriveLimitModel, 194, 4, 71, 70, "最大温度", "#1002(70℃)"},
    {"DriveLimitBadBlocks", kDriveLimitModel, 169, 2, 9, 8, "总坏块数", "#1003(8个)"},
    {"DriveLimitWear", kDriveLimitModel, 208, 0, 70000, 70000, "平均磨损次数", "OK(70000次)"},
    {"DriveLimitHostWrite", kDriveLimitModel, 241, 0, 0x010000000000ULL, 0xFFFFFFFFFFULL,
     "Host写入量", "#1000(1099511627775扇区)"},
    // A drive-limited capacitor fails low: at risk down to 40, abnormal below.
    {"DriveCapacitorAbove", kDriveLimitModel, 254, 0, 101, 100, "电容", "OK(100微法)"},
    {"DriveCapacitorAt", kDriveLimitModel, 254, 0, 100, 100, "电容", "OK(100微法)"},
    {"DriveCapacitor99", kDriveLimitModel, 254, 0, 99, 100, "电容", "风险(100微法)"},
    {"DriveCapacitor40", kDriveLimitModel, 254, 0, 40, 100, "电容", "风险(100微法)"},
    {"DriveCapacitor39", kDriveLimitModel, 254, 0, 39, 100, "电容", "异常(100微法)"},
    // A threshold sector without limits: every count above 0 is over it.
    {"ZeroLimitPowerLoss1", kDriveLimitModel, 192, 0, 1, 0, "异常掉电次数", "#1001(0次)"},
    {"ZeroLimitPowerLoss0", kDriveLimitModel, 192, 0, 0, 0, "异常掉电次数", "OK(0次)"},
    {"ZeroLimitCapacitor0", kDriveLimitModel, 254, 0, 0, 0, "电容", "OK(0微法)"},
    {"ZeroLimitCapacitor39", kDriveLimitModel, 254, 0, 39, 0, "电容", "OK(0微法)"},
    // Entries without a code are never compared, whatever the limits say.
    {"NoCodePowerOnTime", kDriveLimitModel, 9, 0, 65535, 1, "带电工作时间", ""},
    {"NoCodeM7B0NewBadBlocks", kM7B0Model, 169, 4, 500, 1, "新增坏块数", ""},
};

INSTANTIATE_TEST_SUITE_P(Cases, SmartStatusBoundary, ::testing::ValuesIn(kStatusCases),
                         [](const ::testing::TestParamInfo<StatusCase>& info) {
                             return std::string(info.param.label);
                         });

TEST_F(SmartEvaluateTest, LifeIsNormalizedValueReportedOnceWhileItsRowIsBuilt) {
    Evaluate(SmartDiskBuilder(kM7A0Model, true)
                 .Attribute(0, 9, RawAt(4660))
                 .Attribute(1, 231, {0x03, 0x00, 0x00, 0x00, 0x00, 0x00}, 97, 96)
                 .Attribute(2, 254, RawAt(80))
                 .Disk());

    ASSERT_EQ(count, 3);
    const SmartRow& life = rows[1];
    EXPECT_EQ(life.description, "剩余寿命");
    EXPECT_EQ(FormatByte(life.value), "97");
    EXPECT_EQ(life.currentValue, "97%");
    EXPECT_EQ(life.status, "");
    EXPECT_EQ(FormatRawValue(life.raw), "0x00 00 00 00 00 03 ");
    EXPECT_EQ(lives, std::vector<int>{97});
    // Reported after the power-on row and before the capacitor row.
    EXPECT_EQ(rowsBuiltAtReport, std::vector<int>{1});
}

struct LifeCase {
    const char* label;
    const char* model;
    uint8_t id;
    RawBytes raw;
    uint8_t value;
};

class SmartLife : public SmartEvaluateTest, public ::testing::WithParamInterface<LifeCase> {};

TEST_P(SmartLife, ReportsNormalizedValueUnscaled) {
    const LifeCase& c = GetParam();
    Evaluate(SmartDiskBuilder(c.model, true).Attribute(5, c.id, c.raw, c.value).Disk());
    EXPECT_EQ(lives, std::vector<int>{c.value});
    EXPECT_EQ(RowNamed("剩余寿命").currentValue, std::to_string(c.value) + "%");
}

const LifeCase kLifeCases[] = {
    {"M7A0", kM7A0Model, 231, RawAt(0x0102), 97},
    {"M7B0", kM7B0Model, 233, RawAt(0x01020304), 88},
    {"DriveLimit", kDriveLimitModel, 231, RawAt(5), 0},
    {"NotClamped", kDriveLimitModel, 231, RawAt(0), 250},
};

INSTANTIATE_TEST_SUITE_P(Cases, SmartLife, ::testing::ValuesIn(kLifeCases),
                         [](const ::testing::TestParamInfo<LifeCase>& info) {
                             return std::string(info.param.label);
                         });

TEST_F(SmartEvaluateTest, WithoutLifeAttributeNothingIsReportedAndRowsFollowCatalogue) {
    // Slots in an order unlike the catalogue's.
    Evaluate(SmartDiskBuilder(kM7A0Model, true)
                 .Attribute(0, 194, RawAt(30))
                 .Attribute(1, 12, RawAt(7))
                 .Attribute(2, 9, RawAt(4660))
                 .Disk());

    const std::vector<std::string> expected = {"带电工作时间", "上电次数", "当前温度", "最小温度",
                                               "最大温度"};
    EXPECT_EQ(Descriptions(), expected);
    EXPECT_TRUE(lives.empty());
}

TEST_F(SmartEvaluateTest, M7B0LifeAttributeIsNotFlashWriteOfOtherTables) {
    // Attribute 233 is the life on M7B0 drives and the flash write volume
    // elsewhere; only the M7B0 catalogue reports it.
    const RawBytes raw = RawAt(123456);
    Evaluate(SmartDiskBuilder(kDriveLimitModel, true).Attribute(0, 233, raw, 90).Disk());
    EXPECT_EQ(RowNamed("Nand写入量").currentValue, "123456扇区");
    EXPECT_TRUE(lives.empty());
}

TEST_F(SmartEvaluateTest, EntryReadsFirstOfTwoSlotsWithItsId) {
    Evaluate(SmartDiskBuilder(kM7A0Model, true)
                 .Attribute(3, 192, RawAt(10), 100, 100)
                 .Threshold(3, 11)
                 .Attribute(7, 192, RawAt(6000), 50, 50)
                 .Threshold(7, 22)
                 .Disk());

    ASSERT_EQ(count, 1);
    EXPECT_EQ(rows[0].currentValue, "10次");
    EXPECT_EQ(rows[0].value, 100);
    EXPECT_EQ(rows[0].threshold, 11);
    EXPECT_EQ(rows[0].status, "OK(5000次)");
}

TEST_F(SmartEvaluateTest, OtherMakersDiskListsEverySlotInSlotOrder) {
    SmartDiskBuilder builder("QF M7A0 120G", false);  // the model does not matter
    // 18 attributes in slots 0 ... 18 with slot 9 empty, IDs falling.
    std::vector<uint8_t> ids;
    for (int slot = 0; slot <= 18; ++slot) {
        if (slot == 9) continue;
        const uint8_t id = static_cast<uint8_t>(250 - slot);
        ids.push_back(id);
        const auto byte = [slot](int base) { return static_cast<uint8_t>(base + slot); };
        builder.Attribute(slot, id, RawAt(slot), byte(100), byte(50)).Threshold(slot, byte(0));
    }
    builder.Attribute(19, 0, RawAt(77), 55);  // ID 0 marks an empty slot, whatever else it holds
    Evaluate(builder.Disk());

    ASSERT_EQ(count, 18);
    for (int i = 0; i < count; ++i) {
        const int slot = i < 9 ? i : i + 1;
        EXPECT_EQ(rows[i].id, ids[i]);
        EXPECT_EQ(rows[i].value, 100 + slot);
        EXPECT_EQ(rows[i].worst, 50 + slot);
        EXPECT_EQ(rows[i].threshold, slot);
        EXPECT_EQ(rows[i].currentValue, std::to_string(slot));
        EXPECT_EQ(rows[i].description, "");
        EXPECT_EQ(rows[i].status, "");
    }
    EXPECT_TRUE(lives.empty());
}

TEST_F(SmartEvaluateTest, OtherMakersDiskShows48BitRawValue) {
    Evaluate(SmartDiskBuilder("", false)
                 .Attribute(0, 231, {0x01, 0x00, 0x00, 0x00, 0x00, 0x01}, 97)
                 .Disk());

    ASSERT_EQ(count, 1);
    EXPECT_EQ(rows[0].currentValue, "1099511627777");
    EXPECT_EQ(FormatRawValue(rows[0].raw), "0x01 00 00 00 00 01 ");
    EXPECT_TRUE(lives.empty());  // no life without a catalogue, even with 231
}

TEST_F(SmartEvaluateTest, AllZeroDataGivesNoRows) {
    for (bool isMakerDisk : {true, false}) {
        lives.clear();
        Evaluate(SmartDiskBuilder(kM7A0Model, isMakerDisk).Disk());
        EXPECT_EQ(count, 0) << "maker " << isMakerDisk;
        EXPECT_TRUE(lives.empty());
    }
}

TEST_F(SmartEvaluateTest, RowsAfterCountAreLeftAsTheyWere) {
    rows[1].description = "earlier";
    Evaluate(SmartDiskBuilder(kM7A0Model, true).Attribute(0, 9, RawAt(1)).Disk());
    ASSERT_EQ(count, 1);
    EXPECT_EQ(rows[1].description, "earlier");
}

// A catalogue handed in by a caller may be longer than the row array; the
// rows stop at its end.
TEST_F(SmartEvaluateTest, RowsStopAtThirtyWhateverTheCatalogue) {
    const std::vector<SmartAttrDesc> longTable(40, SmartAttrDesc{9, "带电工作时间", 0, 1, "小时", false, 0, ""});
    EvaluateWith(longTable, SmartDiskBuilder(kM7A0Model, true).Attribute(0, 9, RawAt(5)).Disk());
    EXPECT_EQ(count, kSmartSlotCount);
    EXPECT_EQ(rows[kSmartSlotCount - 1].currentValue, "5小时");
}

TEST_F(SmartEvaluateTest, EmptyLifeReportIsAllowed) {
    const PhyDiskInfo disk =
        SmartDiskBuilder(kM7A0Model, true).Attribute(0, 231, RawAt(0), 97).Disk();
    EvaluateSmart(BuildAttrTable(ModelText(disk), true), true, disk.smartData,
                  disk.smartThreshold, rows, count, LifeReport());
    ASSERT_EQ(count, 1);
    EXPECT_EQ(rows[0].currentValue, "97%");
}

}  // namespace
}  // namespace smart
