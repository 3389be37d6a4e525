// The SMART table of an NVMe drive, from its health log page.

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "disk/NvmeCommands.h"
#include "smart/core/NvmeHealth.h"
#include "smart/core/SmartTable.h"
#include "smart/core/WideNumber.h"

namespace smart {
namespace {

using L = NvmeHealthLayout;

// An NVMe drive's record whose health log page holds what is put into it.
class NvmeDisk {
public:
    NvmeDisk() {
        std::memset(&disk_, 0, sizeof disk_);
        disk_.isNvme = 1;
        disk_.nvmeHealthRead = 1;
        std::strcpy(disk_.model, "Some NVMe SSD");
    }
    // `value` little-endian over `width` bytes from `offset`.
    NvmeDisk& Put(int offset, uint64_t value, int width) {
        for (int i = 0; i < width; ++i, value >>= 8) disk_.nvmeHealth[offset + i] = value & 0xFF;
        return *this;
    }
    NvmeDisk& Byte(int offset, uint8_t value) { return Put(offset, value, 1); }
    NvmeDisk& Unread() {
        disk_.nvmeHealthRead = 0;
        return *this;
    }
    const PhyDiskInfo& Disk() const { return disk_; }

private:
    PhyDiskInfo disk_;
};

std::vector<SmartTableRow> Rows(const PhyDiskInfo& disk, std::vector<int>* lives = nullptr) {
    return BuildSmartTable(disk, [lives](int life) {
        if (lives) lives->push_back(life);
    });
}

TEST(NvmeHealthTable, OneRowPerFieldWithItsUnitAndTheSensorsThatReport) {
    NvmeDisk disk;
    disk.Put(L::kTemperature, 318, 2)
        .Byte(L::kAvailableSpare, 100)
        .Byte(L::kSpareThreshold, 10)
        .Byte(L::kPercentageUsed, 7)
        .Put(L::kDataUnitsRead, 48213337, 8)
        .Put(L::kDataUnitsWritten, 0x0102030405060708ull, 8)
        .Put(L::kDataUnitsWritten + 8, 0x01, 1)  // 2^64 more: a 65-bit count
        .Put(L::kHostReadCommands, 612345678, 8)
        .Put(L::kHostWriteCommands, 498765432, 8)
        .Put(L::kControllerBusyTime, 2345, 8)
        .Put(L::kPowerCycles, 1234, 8)
        .Put(L::kPowerOnHours, 5678, 8)
        .Put(L::kUnsafeShutdowns, 37, 8)
        .Put(L::kErrorLogEntries, 12, 8)
        .Put(L::kWarningTemperatureTime, 3, 4)
        .Put(L::kCriticalTemperatureTime, 0xFFFFFFFF, 4)
        .Put(L::kTemperatureSensors, 325, 2)      // sensor 1
        .Put(L::kTemperatureSensors + 6, 260, 2); // sensor 4; 2 and 3 do not report
    std::vector<int> lives;
    const std::vector<SmartTableRow> rows = Rows(disk.Disk(), &lives);

    const std::vector<SmartCells> expected = {
        {"01", "严重警告", "", "", "", "无", "0x00 00 00 00 00 00 ", "OK"},
        {"02", "综合温度", "", "", "", "45℃", "0x00 00 00 00 01 3E ", ""},
        {"03", "可用备用空间", "", "", "", "100%", "0x00 00 00 00 00 64 ", "OK(10%)"},
        {"04", "备用空间阈值", "", "", "", "10%", "0x00 00 00 00 00 0A ", ""},
        {"05", "已用寿命", "", "", "", "7%", "0x00 00 00 00 00 07 ", ""},
        {"06", "Host读取量", "", "", "", "24685228544000字节", "0x00 00 02 DF AD 59 ", ""},
        {"07", "Host写入量", "", "", "", "9481916381951966449664000字节",
         "0x01 01 02 03 04 05 06 07 08 ", ""},
        {"08", "Host读取命令数", "", "", "", "612345678次", "0x00 00 24 7F A7 4E ", ""},
        {"09", "Host写入命令数", "", "", "", "498765432次", "0x00 00 1D BA 8E 78 ", ""},
        {"0A", "控制器忙碌时间", "", "", "", "2345分钟", "0x00 00 00 00 09 29 ", ""},
        {"0B", "上电次数", "", "", "", "1234次", "0x00 00 00 00 04 D2 ", ""},
        {"0C", "带电工作时间", "", "", "", "5678小时", "0x00 00 00 00 16 2E ", ""},
        {"0D", "异常掉电次数", "", "", "", "37次", "0x00 00 00 00 00 25 ", ""},
        {"0E", "介质与数据完整性错误", "", "", "", "0个", "0x00 00 00 00 00 00 ", "OK(0个)"},
        {"0F", "错误日志条目数", "", "", "", "12条", "0x00 00 00 00 00 0C ", ""},
        {"10", "警告温度时间", "", "", "", "3分钟", "0x00 00 00 00 00 03 ", ""},
        {"11", "严重温度时间", "", "", "", "4294967295分钟", "0x00 00 FF FF FF FF ", ""},
        {"12", "温度传感器1", "", "", "", "52℃", "0x00 00 00 00 01 45 ", ""},
        {"15", "温度传感器4", "", "", "", "-13℃", "0x00 00 00 00 01 04 ", ""},
    };
    ASSERT_EQ(rows.size(), expected.size());
    for (size_t i = 0; i < rows.size(); ++i) EXPECT_EQ(rows[i].cells, expected[i]) << "row " << i;
    EXPECT_EQ(lives, std::vector<int>{93});
    EXPECT_EQ(rows[5].rawToolTip, "0x00 00 02 DF AD 59\n十进制：48213337") << "the data units themselves";
    EXPECT_EQ(rows[6].rawToolTip, "0x01 01 02 03 04 05 06 07 08\n十进制：18519367933499934472");
}

// Every bit of the critical warning is spelled out in a row of its own; a
// bit set, a spare below its threshold or a media error is an alert.
TEST(NvmeHealthTable, WarningsSpareAndMediaErrorsAndTheLife) {
    struct Case {
        const char* what;
        uint8_t criticalWarning, spare, threshold, percentageUsed;
        uint64_t mediaErrors;
        std::vector<std::string> warningRows;  // descriptions after "严重警告"
        std::string warningValue;
        StatusTone warningTone;
        std::string spareStatus;
        StatusTone spareTone;
        std::string mediaStatus;
        int life;
    };
    const Case cases[] = {
        {"healthy", 0x00, 100, 10, 0, 0, {}, "无", StatusTone::Ok, "OK(10%)", StatusTone::Ok, "OK(0个)", 100},
        {"bit 0: spare below its threshold", 0x01, 9, 10, 3, 0, {"严重警告：可用备用空间低于阈值"}, "1项",
         StatusTone::Alert, "警告(10%)", StatusTone::Alert, "OK(0个)", 97},
        {"spare at its threshold", 0x00, 10, 10, 3, 0, {}, "无", StatusTone::Ok, "OK(10%)", StatusTone::Ok,
         "OK(0个)", 97},
        {"bit 1: temperature", 0x02, 100, 10, 50, 0, {"严重警告：温度超出阈值"}, "1项", StatusTone::Alert,
         "OK(10%)", StatusTone::Ok, "OK(0个)", 50},
        {"bit 2: reliability, with media errors", 0x04, 100, 10, 99, 3, {"严重警告：可靠性下降"}, "1项",
         StatusTone::Alert, "OK(10%)", StatusTone::Ok, "警告(0个)", 1},
        {"bit 3: read-only", 0x08, 100, 10, 100, 0, {"严重警告：介质已转为只读"}, "1项", StatusTone::Alert,
         "OK(10%)", StatusTone::Ok, "OK(0个)", 0},
        {"bit 4: volatile memory backup", 0x10, 100, 10, 101, 0, {"严重警告：易失性存储备份失效"}, "1项",
         StatusTone::Alert, "OK(10%)", StatusTone::Ok, "OK(0个)", 0},
        {"bit 5: persistent memory read-only", 0x20, 100, 10, 255, 0, {"严重警告：持久内存区已转为只读"},
         "1项", StatusTone::Alert, "OK(10%)", StatusTone::Ok, "OK(0个)", 0},
        {"every bit, reserved ones too", 0xFF, 0, 10, 0, 1,
         {"严重警告：可用备用空间低于阈值", "严重警告：温度超出阈值", "严重警告：可靠性下降",
          "严重警告：介质已转为只读", "严重警告：易失性存储备份失效", "严重警告：持久内存区已转为只读",
          "严重警告：保留位6", "严重警告：保留位7"},
         "8项", StatusTone::Alert, "警告(10%)", StatusTone::Alert, "警告(0个)", 100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        NvmeDisk disk;
        disk.Put(L::kTemperature, 300, 2)
            .Byte(L::kCriticalWarning, c.criticalWarning)
            .Byte(L::kAvailableSpare, c.spare)
            .Byte(L::kSpareThreshold, c.threshold)
            .Byte(L::kPercentageUsed, c.percentageUsed)
            .Put(L::kMediaErrors, c.mediaErrors, 8);
        std::vector<int> lives;
        const std::vector<SmartTableRow> rows = Rows(disk.Disk(), &lives);
        ASSERT_EQ(rows.size(), 17 + c.warningRows.size());
        EXPECT_EQ(rows[0].cells[kColumnCurrentValue], c.warningValue);
        EXPECT_EQ(rows[0].statusTone, c.warningTone);
        for (size_t k = 0; k < c.warningRows.size(); ++k) {
            const SmartTableRow& bit = rows[1 + k];
            EXPECT_EQ(bit.cells[kColumnId], "01");
            EXPECT_EQ(bit.cells[kColumnDescription], c.warningRows[k]);
            EXPECT_EQ(bit.cells[kColumnCurrentValue], "是");
            EXPECT_EQ(bit.cells[kColumnStatus], "警告");
            EXPECT_EQ(bit.statusTone, StatusTone::Alert);
        }
        const size_t after = c.warningRows.size();
        EXPECT_EQ(rows[2 + after].cells[kColumnDescription], "可用备用空间");
        EXPECT_EQ(rows[2 + after].cells[kColumnStatus], c.spareStatus);
        EXPECT_EQ(rows[2 + after].statusTone, c.spareTone);
        EXPECT_EQ(rows[4 + after].cells[kColumnCurrentValue], std::to_string(c.percentageUsed) + "%");
        EXPECT_EQ(rows[13 + after].cells[kColumnDescription], "介质与数据完整性错误");
        EXPECT_EQ(rows[13 + after].cells[kColumnStatus], c.mediaStatus);
        EXPECT_EQ(rows[13 + after].statusTone, c.mediaStatus[0] == 'O' ? StatusTone::Ok : StatusTone::Alert);
        EXPECT_EQ(lives, std::vector<int>{c.life});
    }
}

TEST(NvmeHealthTable, AnUnreadLogGivesNoRowsAndNoLife) {
    NvmeDisk disk;
    disk.Byte(L::kPercentageUsed, 5).Unread();
    std::vector<int> lives;
    EXPECT_TRUE(Rows(disk.Disk(), &lives).empty());
    EXPECT_TRUE(lives.empty());
    EXPECT_FALSE(HealthDataRead(disk.Disk()));
    EXPECT_TRUE(HealthDataRead(NvmeDisk().Disk())) << "a log of zeros that was read is a log";
}

TEST(WideNumber, DecimalTextAndProductsBeyond64Bits) {
    EXPECT_EQ(DecimalText({}), "0");
    EXPECT_EQ(DecimalText({0, 0, 0}), "0");
    EXPECT_EQ(DecimalText({0x39, 0x30}), "12345");
    EXPECT_EQ(DecimalText(WideNumber(16, 0xFF)), "340282366920938463463374607431768211455");
    const WideNumber product = MultipliedBy(WideNumber(16, 0xFF), 512000);
    EXPECT_EQ(product.size(), 19u);
    EXPECT_EQ(DecimalText(product), "174224571863520493293247799005065324264960000");
    EXPECT_EQ(DecimalText(MultipliedBy({0x01}, 0)), "0");
}

}  // namespace
}  // namespace smart
