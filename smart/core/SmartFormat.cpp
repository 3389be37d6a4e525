#include "smart/core/SmartFormat.h"

#include <cstdio>

#include "common/UiText.h"
#include "smart/core/WideNumber.h"

namespace smart {

const char* const kSmartUnreadableText = QF_TEXT("smart", "未能读取SMART信息");
const char* const kSmartNoAttributesText = QF_TEXT("smart", "该磁盘未提供SMART属性");

const std::array<const char*, kSmartColumnCount> kSmartColumnTitles = {
    "ID", "Description", "Value", "Worst", "Threshold", "CurrentValue", "RawValue", "Status",
};

namespace {

// How a number is written with each unit of the catalogues and the NVMe
// health log.
struct UnitTemplate {
    const char* unit;
    const char* withNumber;
};

const UnitTemplate kUnitTemplates[] = {
    {"小时", QF_TEXT("smart", "%1小时")},  {"次", QF_TEXT("smart", "%1次")},
    {"个", QF_TEXT("smart", "%1个")},      {"℃", QF_TEXT("smart", "%1℃")},
    {"%", QF_TEXT("smart", "%1%")},        {"扇区", QF_TEXT("smart", "%1扇区")},
    {"微法", QF_TEXT("smart", "%1微法")},  {"字节", QF_TEXT("smart", "%1字节")},
    {"分钟", QF_TEXT("smart", "%1分钟")},  {"条", QF_TEXT("smart", "%1条")},
};

std::string HexByte(uint8_t byte) {
    char text[3];
    std::snprintf(text, sizeof text, "%02X", static_cast<unsigned>(byte));
    return text;
}

}  // namespace

std::string FormatId(uint8_t id) { return HexByte(id); }

std::string FormatByte(uint8_t byte) { return std::to_string(static_cast<unsigned>(byte)); }

std::string FormatRawValue(const std::array<uint8_t, kSmartRawLength>& rawMsbFirst) {
    return FormatRawBytes({rawMsbFirst.begin(), rawMsbFirst.end()});
}

std::string RawValueToolTip(const std::array<uint8_t, kSmartRawLength>& rawMsbFirst,
                            const texts::TextLookup& shown) {
    return RawBytesToolTip({rawMsbFirst.begin(), rawMsbFirst.end()}, shown);
}

std::string FormatRawBytes(const std::vector<uint8_t>& rawMsbFirst) {
    std::string text = "0x";
    for (uint8_t byte : rawMsbFirst) text += HexByte(byte) + " ";
    return text;
}

std::string RawBytesToolTip(const std::vector<uint8_t>& rawMsbFirst, const texts::TextLookup& shown) {
    std::string bytes = FormatRawBytes(rawMsbFirst);
    bytes.pop_back();
    return texts::shownFilled(shown, "smart", QF_TEXT("smart", "%1\n十进制：%2"),
                              {bytes, DecimalText(WideNumber(rawMsbFirst.rbegin(), rawMsbFirst.rend()))});
}

std::optional<uint64_t> RawBytesNumber(const std::vector<uint8_t>& rawMsbFirst) {
    uint64_t number = 0;
    for (size_t k = 0; k < rawMsbFirst.size(); ++k) {
        if (k + 8 < rawMsbFirst.size()) {
            if (rawMsbFirst[k] != 0) return std::nullopt;
            continue;
        }
        number = number << 8 | rawMsbFirst[k];
    }
    return number;
}

std::string FormatCurrentValue(uint64_t value, const std::string& unit, const texts::TextLookup& shown) {
    return NumberWithUnit(std::to_string(value), unit, shown);
}

std::string NumberWithUnit(const std::string& number, const std::string& unit, const texts::TextLookup& shown) {
    for (const UnitTemplate& entry : kUnitTemplates) {
        if (unit == entry.unit) return texts::shownFilled(shown, "smart", entry.withNumber, {number});
    }
    return number + unit;
}

SmartCells SmartRowCells(const SmartRow& row, const texts::TextLookup& shown) {
    SmartCells cells;
    cells[kColumnId] = FormatId(row.id);
    cells[kColumnDescription] = row.description.empty() ? "" : texts::shown(shown, "smart", row.description);
    cells[kColumnValue] = FormatByte(row.value);
    cells[kColumnWorst] = FormatByte(row.worst);
    cells[kColumnThreshold] = FormatByte(row.threshold);
    // Another maker's drive has no unit: its value is the bare raw number.
    cells[kColumnCurrentValue] = shown && !row.unit.empty() ? FormatCurrentValue(row.number, row.unit, shown)
                                                            : row.currentValue;
    cells[kColumnRawValue] = FormatRawValue(row.raw);
    cells[kColumnStatus] = shown ? StatusText(row.code, row.unit, row.judged, shown) : row.status;
    return cells;
}

}  // namespace smart
