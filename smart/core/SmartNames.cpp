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
};

const Name kUnitWords[] = {
    {"小时", "hours"}, {"次", "times"},   {"个", "blocks"},       {"℃", "celsius"},
    {"%", "percent"},  {"扇区", "sectors"}, {"微法", "microfarads"},
};

template <size_t N>
std::string Lookup(const Name (&names)[N], const std::string& text) {
    for (const Name& name : names) {
        if (text == name.text) return name.word;
    }
    return {};
}

}  // namespace

std::string ValueKey(const std::string& description) { return Lookup(kValueKeys, description); }

std::string UnitWord(const std::string& unit) { return Lookup(kUnitWords, unit); }

}  // namespace smart
