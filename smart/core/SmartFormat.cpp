#include "smart/core/SmartFormat.h"

#include <cstdio>

#include "smart/core/WideNumber.h"

namespace smart {

const char* const kSmartUnreadableText = "未能读取SMART信息";
const char* const kSmartNoAttributesText = "该磁盘未提供SMART属性";

const std::array<const char*, kSmartColumnCount> kSmartColumnTitles = {
    "ID", "Description", "Value", "Worst", "Threshold", "CurrentValue", "RawValue", "Status",
};

namespace {

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

std::string RawValueToolTip(const std::array<uint8_t, kSmartRawLength>& rawMsbFirst) {
    return RawBytesToolTip({rawMsbFirst.begin(), rawMsbFirst.end()});
}

std::string FormatRawBytes(const std::vector<uint8_t>& rawMsbFirst) {
    std::string text = "0x";
    for (uint8_t byte : rawMsbFirst) text += HexByte(byte) + " ";
    return text;
}

std::string RawBytesToolTip(const std::vector<uint8_t>& rawMsbFirst) {
    std::string text = FormatRawBytes(rawMsbFirst);
    text.pop_back();
    return text + "\n十进制：" + DecimalText(WideNumber(rawMsbFirst.rbegin(), rawMsbFirst.rend()));
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

std::string FormatCurrentValue(uint64_t value, const std::string& unit) {
    return std::to_string(value) + unit;
}

std::string FormatLimitBracket(uint64_t limit, const std::string& unit) {
    return "(" + std::to_string(limit) + unit + ")";
}

SmartCells SmartRowCells(const SmartRow& row) {
    SmartCells cells;
    cells[kColumnId] = FormatId(row.id);
    cells[kColumnDescription] = row.description;
    cells[kColumnValue] = FormatByte(row.value);
    cells[kColumnWorst] = FormatByte(row.worst);
    cells[kColumnThreshold] = FormatByte(row.threshold);
    cells[kColumnCurrentValue] = row.currentValue;
    cells[kColumnRawValue] = FormatRawValue(row.raw);
    cells[kColumnStatus] = row.status;
    return cells;
}

}  // namespace smart
