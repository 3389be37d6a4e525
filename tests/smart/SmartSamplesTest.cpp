#include <gtest/gtest.h>

#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "smart/core/SmartTable.h"
#include "smart/samples/SmartSamples.h"

namespace smart {
namespace {

struct SampleExpectation {
    const char* label;
    size_t rows;
    std::vector<std::string> alerts;  // red statuses, in row order
    std::vector<int> lives;
};

// The examples show what their names promise.
TEST(SmartSamples, EvaluateAsDescribed) {
    const SampleExpectation expectations[] = {
        {"m7a0-256g-healthy", 15, {}, {94}},
        {"m7b0-480g-hot", 17, {"#1002(70℃)"}, {89}},
        {"m7a0-120g-worn", 15, {"#1004(1000次)", "#1001(5000次)", "#1003(1062个)"}, {8}},
        {"drive-limits-weak-capacitor", 15, {"风险(100微法)"}, {98}},
        {"other-maker", 18, {}, {}},
    };
    const std::vector<SmartSample>& samples = SmartSamples();
    ASSERT_EQ(samples.size(), std::size(expectations));

    for (size_t i = 0; i < samples.size(); ++i) {
        const SampleExpectation& e = expectations[i];
        EXPECT_EQ(samples[i].label, e.label);
        PhyDiskInfo disk;
        std::memset(&disk, 0, sizeof disk);
        samples[i].CopyInto(disk);

        std::vector<int> lives;
        const std::vector<SmartTableRow> table =
            BuildSmartTable(disk, [&lives](int life) { lives.push_back(life); });
        std::vector<std::string> alerts;
        for (const SmartTableRow& row : table) {
            if (row.statusTone == StatusTone::Alert) alerts.push_back(row.cells[kColumnStatus]);
        }
        EXPECT_EQ(table.size(), e.rows) << e.label;
        EXPECT_EQ(alerts, e.alerts) << e.label;
        EXPECT_EQ(lives, e.lives) << e.label;
    }
}

TEST(SmartSamples, SectorsCarryValidChecksums) {
    for (const SmartSample& sample : SmartSamples()) {
        uint8_t dataSum = 0, thresholdSum = 0;
        for (uint8_t byte : sample.data) dataSum += byte;
        for (uint8_t byte : sample.threshold) thresholdSum += byte;
        EXPECT_EQ(dataSum, 0) << sample.label;
        EXPECT_EQ(thresholdSum, 0) << sample.label;
    }
}

}  // namespace
}  // namespace smart
