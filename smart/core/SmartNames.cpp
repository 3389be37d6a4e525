#include "smart/core/SmartNames.h"

namespace smart {

namespace {

struct Name {
    const char* text;
    const char* word;
};

const Name kValueKeys[] = {
    {"带电工作时间", "power_on_time"},
    {"上电次数", "power_on_count"},
    {"新增坏块数", "new_bad_blocks"},
    {"总坏块数", "total_bad_blocks"},
    {"平均磨损次数", "average_wear_count"},
    {"最大磨损次数", "highest_wear_count"},
    {"最小磨损次数", "lowest_wear_count"},
    {"异常掉电次数", "unexpected_power_loss_count"},
    {"当前温度", "current_temperature"},
    {"最小温度", "lowest_temperature"},
    {"最大温度", "highest_temperature"},
    {"剩余寿命", "remaining_life"},
    {"Nand读取量", "flash_read_volume"},
    {"Nand写入量", "flash_write_volume"},
    {"Host读取量", "host_read_volume"},
    {"Host写入量", "host_write_volume"},
    {"电容", "capacitor"},
    // The fields of an NVMe drive's health log.
    {"严重警告", "critical_warning"},
    {"严重警告：可用备用空间低于阈值", "critical_warning_spare_below_threshold"},
    {"严重警告：温度超出阈值", "critical_warning_temperature"},
    {"严重警告：可靠性下降", "critical_warning_reliability_degraded"},
    {"严重警告：介质已转为只读", "critical_warning_media_read_only"},
    {"严重警告：易失性存储备份失效", "critical_warning_volatile_backup_failed"},
    {"严重警告：持久内存区已转为只读", "critical_warning_persistent_memory_read_only"},
    {"严重警告：保留位6", "critical_warning_reserved_bit_six"},
    {"严重警告：保留位7", "critical_warning_reserved_bit_seven"},
    {"综合温度", "composite_temperature"},
    {"可用备用空间", "available_spare"},
    {"备用空间阈值", "available_spare_threshold"},
    {"已用寿命", "percentage_used"},
    {"Host读取命令数", "host_read_commands"},
    {"Host写入命令数", "host_write_commands"},
    {"控制器忙碌时间", "controller_busy_time"},
    {"介质与数据完整性错误", "media_errors"},
    {"错误日志条目数", "error_log_entries"},
    {"警告温度时间", "warning_temperature_time"},
    {"严重温度时间", "critical_temperature_time"},
    {"温度传感器1", "temperature_sensor_one"},
    {"温度传感器2", "temperature_sensor_two"},
    {"温度传感器3", "temperature_sensor_three"},
    {"温度传感器4", "temperature_sensor_four"},
    {"温度传感器5", "temperature_sensor_five"},
    {"温度传感器6", "temperature_sensor_six"},
    {"温度传感器7", "temperature_sensor_seven"},
    {"温度传感器8", "temperature_sensor_eight"},
};

const Name kUnitWords[] = {
    {"小时", "hours"}, {"次", "times"},   {"个", "blocks"},       {"℃", "celsius"},
    {"%", "percent"},  {"扇区", "sectors"}, {"微法", "microfarads"},
    // NVMe health log units.
    {"字节", "bytes"}, {"分钟", "minutes"}, {"条", "entries"},
};

template <size_t N>
std::string Lookup(const Name (&names)[N], const std::string& text) {
    for (const Name& name : names) {
        if (text == name.text) return name.word;
    }
    return {};
}

template <size_t N>
std::string ReverseLookup(const Name (&names)[N], const std::string& word) {
    for (const Name& name : names) {
        if (word == name.word) return name.text;
    }
    return {};
}

}  // namespace

std::string ValueKey(const std::string& description) { return Lookup(kValueKeys, description); }

std::string UnitWord(const std::string& unit) { return Lookup(kUnitWords, unit); }

std::string DescriptionOfKey(const std::string& key) { return ReverseLookup(kValueKeys, key); }

std::string UnitOfWord(const std::string& word) { return ReverseLookup(kUnitWords, word); }

}  // namespace smart
