// What the user is alerted to between two samples of a drive, and in what words.

#include "history/HealthAlerts.h"

#include "SmartDiskBuilder.h"
#include "disk/NvmeCommands.h"

#include <gtest/gtest.h>

#include <cstring>

using history::AlertKind;
using smart::testing::RawAt;
using smart::testing::SmartDiskBuilder;

namespace {

// A maker's M7A0 128G drive: life, total bad blocks (limit 768), highest and
// current temperature (limit 70), unexpected power losses, wear (limit 1000).
struct Maker {
    int life = 90;
    uint64_t badBlocks = 3;
    uint64_t current = 35, highest = 50;
    uint64_t powerLosses = 2;
    uint64_t wear = 100;
};

history::HealthSample makerSample(const Maker& m)
{
    PhyDiskInfo disk = SmartDiskBuilder("QY-M7A0-128G", true)
                           .Attribute(0, 231, RawAt(0), static_cast<uint8_t>(m.life))
                           .Attribute(1, 169, RawAt(m.badBlocks, 2))
                           .Attribute(2, 194, {static_cast<uint8_t>(m.current), 0, 20, 0, static_cast<uint8_t>(m.highest), 0})
                           .Attribute(3, 192, RawAt(m.powerLosses))
                           .Attribute(4, 208, RawAt(m.wear))
                           .Disk();
    disk.valid = 1;
    std::strcpy(disk.serialNumber, "QV1");
    return *history::SampleOf(disk, std::nullopt, 1000);
}

history::HealthSample otherSample(uint64_t reallocated, uint64_t uncorrectable)
{
    PhyDiskInfo disk = SmartDiskBuilder("Other SSD", false)
                           .Attribute(0, 5, RawAt(reallocated))
                           .Attribute(1, 187, RawAt(uncorrectable))
                           .Attribute(2, 9, RawAt(1234))
                           .Disk();
    disk.valid = 1;
    return *history::SampleOf(disk, std::nullopt, 1000);
}

history::HealthSample nvmeSample(uint8_t criticalWarning, uint64_t mediaErrors, int percentageUsed)
{
    PhyDiskInfo disk{};
    std::strcpy(disk.model, "Corvid NV3");
    disk.valid = 1;
    disk.isNvme = 1;
    disk.nvmeHealthRead = 1;
    disk.nvmeHealth[NvmeHealthLayout::kCriticalWarning] = criticalWarning;
    disk.nvmeHealth[NvmeHealthLayout::kTemperature] = 0x3E;  // 318 K
    disk.nvmeHealth[NvmeHealthLayout::kTemperature + 1] = 0x01;
    disk.nvmeHealth[NvmeHealthLayout::kPercentageUsed] = static_cast<uint8_t>(percentageUsed);
    disk.nvmeHealth[NvmeHealthLayout::kMediaErrors] = static_cast<uint8_t>(mediaErrors);
    return *history::SampleOf(disk, std::nullopt, 1000);
}

std::vector<std::string> alertTexts(const std::vector<history::AlertEvent>& events)
{
    std::vector<std::string> out;
    for (const auto& event : events)
        out.push_back(history::AlertText(event));
    return out;
}

}  // namespace

TEST(HealthAlerts, OneEventPerChangeForTheWorseWithItsChineseText)
{
    struct Case {
        const char* what;
        Maker before, after;
        std::vector<std::string> expected;
    };
    const auto with = [](auto change) {
        Maker m;
        change(m);
        return m;
    };
    const Case cases[] = {
        {"nothing changed", {}, {}, {}},
        {"the life fell within its band", {}, with([](Maker& m) { m.life = 80; }), {}},
        {"the life rose into a better band", with([](Maker& m) { m.life = 50; }), {}, {}},
        {"the life fell into a lower band", {}, with([](Maker& m) { m.life = 79; }),
         {"健康指标由良好降为正常（剩余寿命79%）"}},
        {"two bands at once is one change", {}, with([](Maker& m) { m.life = 25; }),
         {"健康指标由良好降为警告（剩余寿命25%）"}},
        {"bad blocks grew", {}, with([](Maker& m) { m.badBlocks = 12; }), {"总坏块数由3增至12"}},
        {"unexpected power losses grew", {}, with([](Maker& m) { m.powerLosses = 3; }), {"异常掉电次数由2增至3"}},
        {"a count that fell is no alert", with([](Maker& m) { m.badBlocks = 5; }), {}, {}},
        {"the current temperature passed the drive's limit", {}, with([](Maker& m) { m.current = 71; }),
         {"当前温度达到71℃，超过上限70℃"}},
        {"at its limit is no alert", {}, with([](Maker& m) { m.current = 70; }), {}},
        {"already over the limit is no new alert", with([](Maker& m) { m.current = 75; }),
         with([](Maker& m) { m.current = 80; }), {}},
        {"the highest temperature passed its limit: one event, not a status as well", {},
         with([](Maker& m) { m.highest = 72; }), {"最大温度达到72℃，超过上限70℃"}},
        {"a status turned to a warning", {}, with([](Maker& m) { m.wear = 1001; }),
         {"平均磨损次数的状态由OK变为超限（限值1000次）"}},
        {"several changes, one event each", {}, with([](Maker& m) {
             m.life = 20;
             m.badBlocks = 4;
         }),
         {"健康指标由良好降为警告（剩余寿命20%）", "总坏块数由3增至4"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(alertTexts(history::AlertsBetween(makerSample(c.before), makerSample(c.after))), c.expected) << c.what;
}

TEST(HealthAlerts, OtherMakersDrivesAlertOnReallocatedSectorsAndMediaErrors)
{
    EXPECT_EQ(alertTexts(history::AlertsBetween(otherSample(0, 0), otherSample(8, 1))),
              (std::vector<std::string>{"重映射扇区数由0增至8", "无法校正的错误数由0增至1"}));
    EXPECT_TRUE(history::AlertsBetween(otherSample(8, 1), otherSample(8, 1)).empty());
}

TEST(HealthAlerts, NvmeCriticalWarningBitsNewlySetAndMediaErrors)
{
    // Bit 1 (temperature) was set before; bits 0 and 2 are new.
    const auto events = history::AlertsBetween(nvmeSample(0x02, 0, 10), nvmeSample(0x07, 2, 10));
    EXPECT_EQ(alertTexts(events), (std::vector<std::string>{"出现严重警告：可用备用空间低于阈值", "出现严重警告：可靠性下降",
                                                       "介质与数据完整性错误由0增至2"}));
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0].kind, AlertKind::CriticalWarning);
    EXPECT_EQ(events[0].bit, 0);
    EXPECT_EQ(events[1].bit, 2);
    // A bit that stays set, or clears, alerts to nothing.
    EXPECT_TRUE(history::AlertsBetween(nvmeSample(0x07, 2, 10), nvmeSample(0x05, 2, 10)).empty());
    // The life of an NVMe drive is 100 less its percentage used.
    EXPECT_EQ(alertTexts(history::AlertsBetween(nvmeSample(0, 0, 15), nvmeSample(0, 0, 21))),
              (std::vector<std::string>{"健康指标由良好降为正常（剩余寿命79%）"}));
}

TEST(HealthAlerts, TheDriveIsNamedByModelAndSerial)
{
    EXPECT_EQ(history::DriveTitle({"QY-M7A0-128G", "QV1", ""}), "QY-M7A0-128G（序列号 QV1）");
}

// Shown in another language, every text goes through the lookup: the
// templates in the context "history", the names of rows, levels and units in
// the context "smart", where the SMART table marks them.
TEST(HealthAlerts, TextsInTheLanguageShownComeFromTheLookup)
{
    const texts::TextLookup bracketed = [](const char* context, const std::string& text) {
        return std::string(context) + "[" + text + "]";
    };
    const auto shown = [&](const std::vector<history::AlertEvent>& events) {
        std::vector<std::string> out;
        for (const auto& event : events)
            out.push_back(history::AlertText(event, bracketed));
        return out;
    };
    Maker worse;
    worse.life = 25;
    worse.badBlocks = 12;
    worse.wear = 1001;
    worse.current = 71;
    EXPECT_EQ(shown(history::AlertsBetween(makerSample({}), makerSample(worse))),
              (std::vector<std::string>{
                  "history[健康指标由smart[良好]降为smart[警告]（剩余寿命25%）]",
                  "history[smart[平均磨损次数]的状态由history[OK]变为history[超限]（限值smart[1000次]）]",
                  "history[smart[当前温度]达到71℃，超过上限70℃]",
                  "history[smart[总坏块数]由3增至12]",
              }));
    EXPECT_EQ(shown(history::AlertsBetween(nvmeSample(0, 0, 10), nvmeSample(0x01, 0, 10))),
              (std::vector<std::string>{"history[出现严重警告：smart[可用备用空间低于阈值]]"}));
    EXPECT_EQ(shown(history::AlertsBetween(otherSample(0, 0), otherSample(8, 0))),
              (std::vector<std::string>{"history[history[重映射扇区数]由0增至8]"}));
    EXPECT_EQ(history::DriveTitle({"QY-M7A0-128G", "QV1", ""}, bracketed), "history[QY-M7A0-128G（序列号 QV1）]");
}
