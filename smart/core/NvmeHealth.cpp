#include "smart/core/NvmeHealth.h"

#include <algorithm>
#include <string>

#include "disk/NvmeCommands.h"
#include "smart/core/WideNumber.h"

namespace smart {

namespace {

using L = NvmeHealthLayout;

constexpr int kKelvinAtZeroCelsius = 273;
// Bytes in one data unit: a thousand 512-byte units.
constexpr uint32_t kDataUnitBytes = 512000;
constexpr int kRawMinimumBytes = kSmartRawLength;

const char* const kOk = "OK";
const char* const kWarning = "警告";
const char* const kCriticalWarningPrefix = "严重警告：";

// The field's bytes as a number.
WideNumber FieldBytes(const uint8_t* log, int offset, int width) {
    return WideNumber(log + offset, log + offset + width);
}

bool IsZero(const WideNumber& number) {
    return std::all_of(number.begin(), number.end(), [](uint8_t byte) { return byte == 0; });
}

// The RawValue bytes, most significant first: six at least, as for an ATA
// attribute, more only where a wider field holds more.
std::vector<uint8_t> RawBytes(WideNumber number) {
    while (number.size() > kRawMinimumBytes && number.back() == 0) number.pop_back();
    number.resize(std::max<size_t>(number.size(), kRawMinimumBytes), 0);
    return std::vector<uint8_t>(number.rbegin(), number.rend());
}

// What CurrentValue and Status show, as values for scripts.
struct Shown {
    WideNumber number;  // least significant byte first
    bool negative = false;
    std::string unit;
    Status judged;
};

// A number that fits in 64 bits, as the row's typed value.
bool FitsIn64Bits(const WideNumber& number) {
    return std::all_of(number.begin() + std::min<size_t>(number.size(), 8), number.end(),
                       [](uint8_t byte) { return byte == 0; });
}

uint64_t Low64Bits(const WideNumber& number) {
    uint64_t value = 0;
    for (size_t k = std::min<size_t>(number.size(), 8); k-- > 0;) value = value << 8 | number[k];
    return value;
}

SmartTableRow Row(uint8_t id, const std::string& name, const WideNumber& raw, const std::string& currentValue,
                  const std::string& status, const Shown& shown) {
    SmartTableRow row;
    row.cells[kColumnId] = FormatId(id);
    row.cells[kColumnDescription] = name;
    // An NVMe field has no normalized value, worst value or threshold.
    row.normalized = false;
    row.cells[kColumnCurrentValue] = currentValue;
    row.rawBytes = RawBytes(raw);
    row.cells[kColumnRawValue] = FormatRawBytes(row.rawBytes);
    row.cells[kColumnStatus] = status;
    row.statusTone = StatusToneOf(status);
    row.rawToolTip = RawBytesToolTip(row.rawBytes);

    row.row.id = id;
    row.row.description = name;
    row.row.currentValue = currentValue;
    row.row.status = status;
    std::copy(row.rawBytes.end() - kSmartRawLength, row.rawBytes.end(), row.row.raw.begin());
    row.numberFits = !shown.negative && FitsIn64Bits(shown.number);
    row.row.number = row.numberFits ? Low64Bits(shown.number) : 0;
    row.row.unit = shown.unit;
    row.row.judged = shown.judged;
    return row;
}

Shown Plain(const WideNumber& number, const std::string& unit) { return {number, false, unit, {}}; }

Shown Judged(const WideNumber& number, const std::string& unit, bool over, uint64_t limit) {
    return {number, false, unit, {over ? StatusKind::Alert : StatusKind::Ok, limit}};
}

// A temperature in kelvins, shown in ℃.
Shown CelsiusShown(const WideNumber& kelvins) {
    const int celsius = (kelvins[0] | kelvins[1] << 8) - kKelvinAtZeroCelsius;
    const unsigned magnitude = static_cast<unsigned>(celsius < 0 ? -celsius : celsius);
    return {{static_cast<uint8_t>(magnitude & 0xFF), static_cast<uint8_t>(magnitude >> 8)}, celsius < 0, "℃", {}};
}

std::string Celsius(const WideNumber& kelvins) {
    const int value = kelvins[0] | kelvins[1] << 8;
    return std::to_string(value - kKelvinAtZeroCelsius) + "℃";
}

void AddCriticalWarningRows(const NvmeHealthField& field, const uint8_t* log, std::vector<SmartTableRow>& rows) {
    const uint8_t bits = log[field.offset];
    int set = 0;
    for (int bit = 0; bit < 8; ++bit) set += (bits >> bit) & 1;
    rows.push_back(Row(field.id, field.name, {bits}, set == 0 ? "无" : std::to_string(set) + "项",
                       set == 0 ? kOk : kWarning, Judged({static_cast<uint8_t>(set)}, "", set != 0, 0)));
    for (int bit = 0; bit < 8; ++bit) {
        if (bits & (1 << bit)) {
            rows.push_back(Row(field.id, std::string(kCriticalWarningPrefix) + kCriticalWarningTexts[bit],
                               {static_cast<uint8_t>(1 << bit)}, "是", kWarning, Judged({1}, "", true, 0)));
        }
    }
}

}  // namespace

const std::vector<NvmeHealthField> kNvmeHealthFields = [] {
    std::vector<NvmeHealthField> fields = {
        {0x01, "严重警告", L::kCriticalWarning, 1, NvmeFieldKind::CriticalWarning, ""},
        {0x02, "综合温度", L::kTemperature, 2, NvmeFieldKind::Temperature, "℃"},
        {0x03, "可用备用空间", L::kAvailableSpare, 1, NvmeFieldKind::Spare, "%"},
        {0x04, "备用空间阈值", L::kSpareThreshold, 1, NvmeFieldKind::Count, "%"},
        {0x05, "已用寿命", L::kPercentageUsed, 1, NvmeFieldKind::LifeUsed, "%"},
        {0x06, "Host读取量", L::kDataUnitsRead, L::kCounterLength, NvmeFieldKind::DataUnits, "字节"},
        {0x07, "Host写入量", L::kDataUnitsWritten, L::kCounterLength, NvmeFieldKind::DataUnits, "字节"},
        {0x08, "Host读取命令数", L::kHostReadCommands, L::kCounterLength, NvmeFieldKind::Count, "次"},
        {0x09, "Host写入命令数", L::kHostWriteCommands, L::kCounterLength, NvmeFieldKind::Count, "次"},
        {0x0A, "控制器忙碌时间", L::kControllerBusyTime, L::kCounterLength, NvmeFieldKind::Count, "分钟"},
        {0x0B, "上电次数", L::kPowerCycles, L::kCounterLength, NvmeFieldKind::Count, "次"},
        {0x0C, "带电工作时间", L::kPowerOnHours, L::kCounterLength, NvmeFieldKind::Count, "小时"},
        {0x0D, "异常掉电次数", L::kUnsafeShutdowns, L::kCounterLength, NvmeFieldKind::Count, "次"},
        {0x0E, "介质与数据完整性错误", L::kMediaErrors, L::kCounterLength, NvmeFieldKind::MediaErrors, "个"},
        {0x0F, "错误日志条目数", L::kErrorLogEntries, L::kCounterLength, NvmeFieldKind::Count, "条"},
        {0x10, "警告温度时间", L::kWarningTemperatureTime, 4, NvmeFieldKind::Count, "分钟"},
        {0x11, "严重温度时间", L::kCriticalTemperatureTime, 4, NvmeFieldKind::Count, "分钟"},
    };
    static const char* const kSensorNames[L::kSensorCount] = {"温度传感器1", "温度传感器2", "温度传感器3",
                                                              "温度传感器4", "温度传感器5", "温度传感器6",
                                                              "温度传感器7", "温度传感器8"};
    for (int k = 0; k < L::kSensorCount; ++k) {
        fields.push_back({static_cast<uint8_t>(0x12 + k), kSensorNames[k], L::kTemperatureSensors + 2 * k, 2,
                          NvmeFieldKind::Sensor, "℃"});
    }
    return fields;
}();

const char* const kCriticalWarningTexts[8] = {
    "可用备用空间低于阈值",  // bit 0
    "温度超出阈值",          // bit 1: above the over-temperature or below the under-temperature threshold
    "可靠性下降",            // bit 2: media or internal errors
    "介质已转为只读",        // bit 3
    "易失性存储备份失效",    // bit 4
    "持久内存区已转为只读",  // bit 5
    "保留位6",               // bits 6 and 7 are reserved
    "保留位7",
};

int NvmeRemainingLife(uint8_t percentageUsed) { return std::max(0, 100 - static_cast<int>(percentageUsed)); }

std::vector<SmartTableRow> NvmeHealthRows(const uint8_t* log, const LifeReport& sendLife) {
    std::vector<SmartTableRow> rows;
    for (const NvmeHealthField& field : kNvmeHealthFields) {
        const WideNumber value = FieldBytes(log, field.offset, field.width);
        const std::string number = DecimalText(value) + field.unit;
        switch (field.kind) {
        case NvmeFieldKind::CriticalWarning:
            AddCriticalWarningRows(field, log, rows);
            break;
        case NvmeFieldKind::Sensor:
            if (IsZero(value)) break;  // the sensor does not report
            rows.push_back(Row(field.id, field.name, value, Celsius(value), "", CelsiusShown(value)));
            break;
        case NvmeFieldKind::Temperature:
            rows.push_back(Row(field.id, field.name, value, Celsius(value), "", CelsiusShown(value)));
            break;
        case NvmeFieldKind::Spare: {
            // At its threshold the spare is still enough; below it, not.
            const uint8_t threshold = log[L::kSpareThreshold];
            const bool low = value[0] < threshold;
            rows.push_back(Row(field.id, field.name, value, number,
                               (low ? kWarning : kOk) + FormatLimitBracket(threshold, field.unit),
                               Judged(value, field.unit, low, threshold)));
            break;
        }
        case NvmeFieldKind::LifeUsed:
            if (sendLife) sendLife(NvmeRemainingLife(value[0]));
            rows.push_back(Row(field.id, field.name, value, number, "", Plain(value, field.unit)));
            break;
        case NvmeFieldKind::DataUnits: {
            const WideNumber bytes = MultipliedBy(value, kDataUnitBytes);
            rows.push_back(Row(field.id, field.name, value, DecimalText(bytes) + field.unit, "",
                               Plain(bytes, field.unit)));
            break;
        }
        case NvmeFieldKind::MediaErrors:
            rows.push_back(Row(field.id, field.name, value, number,
                               (IsZero(value) ? kOk : kWarning) + FormatLimitBracket(0, field.unit),
                               Judged(value, "", !IsZero(value), 0)));
            break;
        case NvmeFieldKind::Count:
            rows.push_back(Row(field.id, field.name, value, number, "", Plain(value, field.unit)));
            break;
        }
    }
    return rows;
}

}  // namespace smart
