// The typed values beside the table's texts: each says what its text says,
// for every catalogue and another maker's drive; the ASCII names of the
// catalogues' texts; the health level's bands.

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "smart/core/HealthLevel.h"
#include "smart/core/SmartCatalog.h"
#include "smart/core/SmartNames.h"
#include "smart/core/SmartTable.h"
#include "smart/samples/SmartSamples.h"

namespace smart {
namespace {

TEST(SmartTyped, EveryRowsValuesSayWhatItsTextsSay) {
    std::set<StatusKind> kindsSeen;
    for (const SmartSample& sample : SmartSamples()) {
        SCOPED_TRACE(sample.label);
        PhyDiskInfo disk{};
        sample.CopyInto(disk);
        const std::vector<SmartTableRow> table = BuildSmartTable(disk, nullptr);
        ASSERT_FALSE(table.empty());
        for (const SmartTableRow& entry : table) {
            const SmartRow& row = entry.row;
            const SmartCells& cells = entry.cells;
            SCOPED_TRACE(cells[kColumnDescription] + " " + cells[kColumnId]);
            EXPECT_EQ(FormatId(row.id), cells[kColumnId]);
            EXPECT_EQ(std::to_string(row.value), cells[kColumnValue]);
            EXPECT_EQ(std::to_string(row.worst), cells[kColumnWorst]);
            EXPECT_EQ(std::to_string(row.threshold), cells[kColumnThreshold]);
            EXPECT_EQ(std::to_string(row.number) + row.unit, cells[kColumnCurrentValue]);
            std::string rawDigits;
            for (char c : cells[kColumnRawValue].substr(2))
                if (c != ' ') rawDigits += c;
            EXPECT_EQ(RawBytesNumber({row.raw.begin(), row.raw.end()}).value(), std::stoull(rawDigits, nullptr, 16));
            const std::string& status = cells[kColumnStatus];
            kindsSeen.insert(row.judged.kind);
            switch (row.judged.kind) {
            case StatusKind::None: EXPECT_EQ(status, ""); break;
            case StatusKind::Ok: EXPECT_EQ(status.rfind("OK(", 0), 0u) << status; break;
            case StatusKind::Alert: EXPECT_EQ(status.rfind("#100", 0), 0u) << status; break;
            case StatusKind::Risk: EXPECT_EQ(status.rfind("风险(", 0), 0u) << status; break;
            case StatusKind::Abnormal: EXPECT_EQ(status.rfind("异常(", 0), 0u) << status; break;
            }
            if (row.judged.kind != StatusKind::None)
                EXPECT_NE(status.find("(" + std::to_string(row.judged.limit) + row.unit + ")"), std::string::npos)
                    << status;
            EXPECT_EQ(StatusWord(row.judged.kind) == nullptr, row.judged.kind == StatusKind::None);
            if (sample.isMakerDisk) {
                EXPECT_FALSE(ValueKey(row.description).empty()) << "every catalogue name has a key";
                EXPECT_FALSE(UnitWord(row.unit).empty()) << "every catalogue unit has a word";
            } else {
                EXPECT_EQ(row.unit, "");
                EXPECT_EQ(row.number, RawBytesNumber({row.raw.begin(), row.raw.end()}).value()) << "another maker's value is the whole raw value";
            }
        }
    }
    EXPECT_EQ(kindsSeen, (std::set<StatusKind>{StatusKind::None, StatusKind::Ok, StatusKind::Alert, StatusKind::Risk}))
        << "the samples show every kind but abnormal";
}

TEST(SmartTyped, TheCapacitorsFourKinds) {
    SmartAttrDesc capacitor{254, "电容", 0, 5, "微法", true, 0, "#1003"};
    EXPECT_EQ(EvaluateStatus(capacitor, 100, 100).kind, StatusKind::Ok);
    EXPECT_EQ(EvaluateStatus(capacitor, 99, 100).kind, StatusKind::Risk);
    EXPECT_EQ(EvaluateStatus(capacitor, 39, 100).kind, StatusKind::Abnormal);
    EXPECT_EQ(EvaluateStatus(capacitor, 39, 100).limit, 100u);
    capacitor.limitFromDrive = false;
    capacitor.limit = 90;
    EXPECT_EQ(EvaluateStatus(capacitor, 91, 0).kind, StatusKind::Alert);
    EXPECT_EQ(EvaluateStatus(capacitor, 91, 0).limit, 90u);
    capacitor.code.clear();
    EXPECT_EQ(EvaluateStatus(capacitor, 91, 0).kind, StatusKind::None);
    EXPECT_STREQ(StatusWord(StatusKind::Abnormal), "abnormal");
    EXPECT_STREQ(StatusWord(StatusKind::Alert), "alert");
}

TEST(SmartTyped, EveryCatalogueTextHasOneDistinctWord) {
    std::set<std::string> keys;
    size_t names = 0;
    std::set<std::string> seen;
    for (const char* model : {"QYD-M7A0-120G", "QY-PNDX480G-M7B0", "QY-OTHER"}) {
        for (const SmartAttrDesc& entry : BuildAttrTable(model, true)) {
            EXPECT_FALSE(UnitWord(entry.unit).empty()) << entry.unit;
            if (!seen.insert(entry.name).second) continue;
            ++names;
            const std::string key = ValueKey(entry.name);
            EXPECT_FALSE(key.empty()) << entry.name;
            EXPECT_EQ(key.find_first_not_of("abcdefghijklmnopqrstuvwxyz_"), std::string::npos) << key;
            keys.insert(key);
        }
    }
    EXPECT_EQ(keys.size(), names) << "no two texts share a key";
    EXPECT_EQ(ValueKey("不是目录里的"), "");
    EXPECT_EQ(UnitWord("km"), "");
}

TEST(SmartTyped, HealthLevelBands) {
    struct Case {
        int life;
        const char* text;  // nullptr: no level
        const char* word;
    };
    const Case cases[] = {{-1, nullptr, nullptr}, {0, "警告", "warning"},  {29, "警告", "warning"},
                          {30, "正常", "normal"}, {79, "正常", "normal"}, {80, "良好", "good"},
                          {100, "良好", "good"},  {101, nullptr, nullptr}, {255, nullptr, nullptr}};
    for (const Case& c : cases) {
        const auto level = HealthLevelOf(c.life);
        ASSERT_EQ(level.has_value(), c.text != nullptr) << c.life;
        if (!level) continue;
        EXPECT_STREQ(HealthLevelText(*level), c.text) << c.life;
        EXPECT_STREQ(HealthLevelWord(*level), c.word) << c.life;
    }
}

}  // namespace
}  // namespace smart
