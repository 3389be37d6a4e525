#pragma once
// The cell texts of the SMART table (UTF-8). Each function that writes a
// marked text takes the lookup of the language shown; without one the text
// is the Chinese source.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/TextLookup.h"
#include "smart/core/SmartRow.h"

namespace smart {

// Columns of the table, in this order.
enum SmartColumn {
    kColumnId,
    kColumnDescription,
    kColumnValue,
    kColumnWorst,
    kColumnThreshold,
    kColumnCurrentValue,
    kColumnRawValue,
    kColumnStatus,
    kSmartColumnCount
};

// What an empty table says instead of rows: the drive did not answer SMART
// READ DATA, or answered without an attribute the table lists.
// Marked texts of the context "smart".
extern const char* const kSmartUnreadableText;     // "未能读取SMART信息"
extern const char* const kSmartNoAttributesText;   // "该磁盘未提供SMART属性"

// Header labels, indexed by SmartColumn.
extern const std::array<const char*, kSmartColumnCount> kSmartColumnTitles;

using SmartCells = std::array<std::string, kSmartColumnCount>;

std::string FormatId(uint8_t id);      // two upper-case hex digits: "0C"
std::string FormatByte(uint8_t byte);  // decimal: "100"
// "0x" then each byte, most significant first, as two hex digits and a
// blank: "0x00 00 00 00 01 2C ".
std::string FormatRawValue(const std::array<uint8_t, kSmartRawLength>& rawMsbFirst);
// The RawValue cell's tool tip: the bytes as the cell shows them, without
// the trailing blank, and the 48-bit number they make in decimal:
// "0x00 00 00 00 01 2C\n十进制：300".
std::string RawValueToolTip(const std::array<uint8_t, kSmartRawLength>& rawMsbFirst,
                            const texts::TextLookup& shown = {});
// The same two texts for a raw value of any length, most significant byte first.
std::string FormatRawBytes(const std::vector<uint8_t>& rawMsbFirst);
std::string RawBytesToolTip(const std::vector<uint8_t>& rawMsbFirst, const texts::TextLookup& shown = {});
// The raw bytes as one number; none when it does not fit in 64 bits.
std::optional<uint64_t> RawBytesNumber(const std::vector<uint8_t>& rawMsbFirst);
// The number followed directly by its unit: "300小时". A unit of the
// catalogues is written through its template ("%1小时"), so that a
// translation may space it or drop it; any other unit is appended as it is.
std::string FormatCurrentValue(uint64_t value, const std::string& unit, const texts::TextLookup& shown = {});
std::string NumberWithUnit(const std::string& number, const std::string& unit, const texts::TextLookup& shown = {});

// The eight texts of one evaluated row.
SmartCells SmartRowCells(const SmartRow& row, const texts::TextLookup& shown = {});

}  // namespace smart
