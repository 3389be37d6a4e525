#pragma once
// The SMART table of an NVMe drive: one row per field of its SMART / Health
// Information log page, with descriptions in the style of the maker's
// catalogues, and its remaining life.

#include <cstdint>
#include <vector>

#include "smart/core/SmartEvaluate.h"
#include "smart/core/SmartTable.h"

namespace smart {

// How a health field is written and judged.
enum class NvmeFieldKind {
    CriticalWarning,  // the bit mask; a row of its own for every bit set follows
    Temperature,      // kelvins, written in ℃
    Sensor,           // the same, and no row when the sensor reports 0
    Spare,            // percent, an alert below the spare threshold
    LifeUsed,         // percentage used: the remaining life is 100 less it
    DataUnits,        // thousands of 512-byte units, written in bytes
    MediaErrors,      // a count, an alert above 0
    Count,            // a number and its unit
};

struct NvmeHealthField {
    uint8_t id;        // shown in the "ID" column
    const char* name;  // the "Description" text, marked in the context "smart"
    int offset;        // in the log page
    int width;         // bytes, least significant first
    NvmeFieldKind kind;
    const char* unit;  // written right after the number
};

// The fields, in the order of their rows.
extern const std::vector<NvmeHealthField> kNvmeHealthFields;
// What each bit of the critical warning means, bit 0 first.
extern const char* const kCriticalWarningTexts[8];

// The remaining life in percent for a percentage used, which may exceed 100.
int NvmeRemainingLife(uint8_t percentageUsed);

// The rows of a health log page (kNvmeHealthLength bytes), their cells in the
// language of `shown`; sendLife is called once, while the percentage-used row
// is built.
std::vector<SmartTableRow> NvmeHealthRows(const uint8_t* log, const LifeReport& sendLife,
                                          const texts::TextLookup& shown = {});

}  // namespace smart
