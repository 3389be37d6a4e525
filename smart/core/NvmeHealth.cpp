#include "smart/core/NvmeHealth.h"

#include <algorithm>
#include <string>

#include "common/UiText.h"
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
const char* const kWarning = QF_TEXT("smart", "警告");

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
                  const std::string& status, const Shown& shown, const texts::TextLookup& lookup) {
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
    row.rawToolTip = RawBytesToolTip(row.rawBytes, lookup);

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

std::string Celsius(const WideNumber& kelvins, const texts::TextLookup& shown) {
    const int value = kelvins[0] | kelvins[1] << 8;
    return NumberWithUnit(std::to_string(value - kKelvinAtZeroCelsius), "℃", shown);
}

// A status: OK or the warning, the limit and its unit in brackets.
std::string LimitStatus(bool warning, uint64_t limit, const std::string& unit, const texts::TextLookup& shown) {
    return texts::shownFilled(shown, "smart", warning ? QF_TEXT("smart", "警告(%1)") : QF_TEXT("smart", "OK(%1)"),
                              {FormatCurrentValue(limit, unit, shown)});
}

void AddCriticalWarningRows(const NvmeHealthField& field, const uint8_t* log, std::vector<SmartTableRow>& rows,
                            const texts::TextLookup& shown) {
    const uint8_t bits = log[field.offset];
    int set = 0;
    for (int bit = 0; bit < 8; ++bit) set += (bits >> bit) & 1;
    const std::string count = set == 0 ? texts::shown(shown, "smart", QF_TEXT("smart", "无"))
                                       : texts::shownFilled(shown, "smart", QF_TEXT("smart", "%1项"),
                                                            {std::to_string(set)});
    rows.push_back(Row(field.id, texts::shown(shown, "smart", field.name), {bits}, count,
                       set == 0 ? kOk : texts::shown(shown, "smart", kWarning),
                       Judged({static_cast<uint8_t>(set)}, "", set != 0, 0), shown));
    for (int bit = 0; bit < 8; ++bit) {
        if (bits & (1 << bit)) {
            const std::string name =
                texts::shownFilled(shown, "smart", QF_TEXT("smart", "严重警告：%1"),
                                   {texts::shown(shown, "smart", kCriticalWarningTexts[bit])});
            rows.push_back(Row(field.id, name, {static_cast<uint8_t>(1 << bit)},
                               texts::shown(shown, "smart", QF_TEXT("smart", "是")),
                               texts::shown(shown, "smart", kWarning), Judged({1}, "", true, 0), shown));
        }
    }
}

// The rows of a health log page with every text in the language shown.
std::vector<SmartTableRow> HealthRows(const uint8_t* log, const LifeReport& sendLife,
                                      const texts::TextLookup& shown) {
    std::vector<SmartTableRow> rows;
    for (const NvmeHealthField& field : kNvmeHealthFields) {
        const WideNumber value = FieldBytes(log, field.offset, field.width);
        const std::string name = texts::shown(shown, "smart", field.name);
        const std::string number = NumberWithUnit(DecimalText(value), field.unit, shown);
        switch (field.kind) {
        case NvmeFieldKind::CriticalWarning:
            AddCriticalWarningRows(field, log, rows, shown);
            break;
        case NvmeFieldKind::Sensor:
            if (IsZero(value)) break;  // the sensor does not report
            rows.push_back(Row(field.id, name, value, Celsius(value, shown), "", CelsiusShown(value), shown));
            break;
        case NvmeFieldKind::Temperature:
            rows.push_back(Row(field.id, name, value, Celsius(value, shown), "", CelsiusShown(value), shown));
            break;
        case NvmeFieldKind::Spare: {
            // At its threshold the spare is still enough; below it, not.
            const uint8_t threshold = log[L::kSpareThreshold];
            const bool low = value[0] < threshold;
            rows.push_back(Row(field.id, name, value, number, LimitStatus(low, threshold, field.unit, shown),
                               Judged(value, field.unit, low, threshold), shown));
            break;
        }
        case NvmeFieldKind::LifeUsed:
            if (sendLife) sendLife(NvmeRemainingLife(value[0]));
            rows.push_back(Row(field.id, name, value, number, "", Plain(value, field.unit), shown));
            break;
        case NvmeFieldKind::DataUnits: {
            const WideNumber bytes = MultipliedBy(value, kDataUnitBytes);
            rows.push_back(Row(field.id, name, value, NumberWithUnit(DecimalText(bytes), field.unit, shown), "",
                               Plain(bytes, field.unit), shown));
            break;
        }
        case NvmeFieldKind::MediaErrors:
            rows.push_back(Row(field.id, name, value, number, LimitStatus(!IsZero(value), 0, field.unit, shown),
                               Judged(value, "", !IsZero(value), 0), shown));
            break;
        case NvmeFieldKind::Count:
            rows.push_back(Row(field.id, name, value, number, "", Plain(value, field.unit), shown));
            break;
        }
    }
    return rows;
}

}  // namespace

const std::vector<NvmeHealthField> kNvmeHealthFields = [] {
    std::vector<NvmeHealthField> fields = {
        {0x01, QF_TEXT("smart", "严重警告"), L::kCriticalWarning, 1, NvmeFieldKind::CriticalWarning, ""},
        {0x02, QF_TEXT("smart", "综合温度"), L::kTemperature, 2, NvmeFieldKind::Temperature, "℃"},
        {0x03, QF_TEXT("smart", "可用备用空间"), L::kAvailableSpare, 1, NvmeFieldKind::Spare, "%"},
        {0x04, QF_TEXT("smart", "备用空间阈值"), L::kSpareThreshold, 1, NvmeFieldKind::Count, "%"},
        {0x05, QF_TEXT("smart", "已用寿命"), L::kPercentageUsed, 1, NvmeFieldKind::LifeUsed, "%"},
        {0x06, QF_TEXT("smart", "Host读取量"), L::kDataUnitsRead, L::kCounterLength,
         NvmeFieldKind::DataUnits, "字节"},
        {0x07, QF_TEXT("smart", "Host写入量"), L::kDataUnitsWritten, L::kCounterLength,
         NvmeFieldKind::DataUnits, "字节"},
        {0x08, QF_TEXT("smart", "Host读取命令数"), L::kHostReadCommands, L::kCounterLength,
         NvmeFieldKind::Count, "次"},
        {0x09, QF_TEXT("smart", "Host写入命令数"), L::kHostWriteCommands, L::kCounterLength,
         NvmeFieldKind::Count, "次"},
        {0x0A, QF_TEXT("smart", "控制器忙碌时间"), L::kControllerBusyTime, L::kCounterLength,
         NvmeFieldKind::Count, "分钟"},
        {0x0B, QF_TEXT("smart", "上电次数"), L::kPowerCycles, L::kCounterLength, NvmeFieldKind::Count, "次"},
        {0x0C, QF_TEXT("smart", "带电工作时间"), L::kPowerOnHours, L::kCounterLength,
         NvmeFieldKind::Count, "小时"},
        {0x0D, QF_TEXT("smart", "异常掉电次数"), L::kUnsafeShutdowns, L::kCounterLength,
         NvmeFieldKind::Count, "次"},
        {0x0E, QF_TEXT("smart", "介质与数据完整性错误"), L::kMediaErrors, L::kCounterLength,
         NvmeFieldKind::MediaErrors, "个"},
        {0x0F, QF_TEXT("smart", "错误日志条目数"), L::kErrorLogEntries, L::kCounterLength,
         NvmeFieldKind::Count, "条"},
        {0x10, QF_TEXT("smart", "警告温度时间"), L::kWarningTemperatureTime, 4, NvmeFieldKind::Count, "分钟"},
        {0x11, QF_TEXT("smart", "严重温度时间"), L::kCriticalTemperatureTime, 4, NvmeFieldKind::Count, "分钟"},
    };
    static const char* const kSensorNames[L::kSensorCount] = {
        QF_TEXT("smart", "温度传感器1"), QF_TEXT("smart", "温度传感器2"), QF_TEXT("smart", "温度传感器3"),
        QF_TEXT("smart", "温度传感器4"), QF_TEXT("smart", "温度传感器5"), QF_TEXT("smart", "温度传感器6"),
        QF_TEXT("smart", "温度传感器7"), QF_TEXT("smart", "温度传感器8"),
    };
    for (int k = 0; k < L::kSensorCount; ++k) {
        fields.push_back({static_cast<uint8_t>(0x12 + k), kSensorNames[k], L::kTemperatureSensors + 2 * k, 2,
                          NvmeFieldKind::Sensor, "℃"});
    }
    return fields;
}();

const char* const kCriticalWarningTexts[8] = {
    QF_TEXT("smart", "可用备用空间低于阈值"),  // bit 0
    QF_TEXT("smart", "温度超出阈值"),          // bit 1: above the over-temperature or below the under-temperature threshold
    QF_TEXT("smart", "可靠性下降"),            // bit 2: media or internal errors
    QF_TEXT("smart", "介质已转为只读"),        // bit 3
    QF_TEXT("smart", "易失性存储备份失效"),    // bit 4
    QF_TEXT("smart", "持久内存区已转为只读"),  // bit 5
    QF_TEXT("smart", "保留位6"),               // bits 6 and 7 are reserved
    QF_TEXT("smart", "保留位7"),
};

int NvmeRemainingLife(uint8_t percentageUsed) { return std::max(0, 100 - static_cast<int>(percentageUsed)); }

std::vector<SmartTableRow> NvmeHealthRows(const uint8_t* log, const LifeReport& sendLife,
                                          const texts::TextLookup& shown) {
    std::vector<SmartTableRow> rows = HealthRows(log, sendLife, {});
    if (!shown) return rows;
    // The values and the tones stay those of the Chinese rows; the texts
    // shown come from the same rows written in the language shown.
    const std::vector<SmartTableRow> shownRows = HealthRows(log, nullptr, shown);
    for (size_t k = 0; k < rows.size(); ++k) {
        rows[k].cells = shownRows[k].cells;
        rows[k].rawToolTip = shownRows[k].rawToolTip;
    }
    return rows;
}

}  // namespace smart
