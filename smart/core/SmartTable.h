#pragma once
// The whole SMART table of one disk record, as texts ready to show: in the
// language of the lookup passed, Chinese without one.

#include <vector>

#include "disk/PhyDiskInfo.h"
#include "smart/core/SmartEvaluate.h"
#include "smart/core/SmartFormat.h"
#include "smart/core/SmartStatus.h"

namespace smart {

struct SmartTableRow {
    SmartCells cells;                             // indexed by SmartColumn
    StatusTone statusTone = StatusTone::Default;  // how to draw cells[kColumnStatus]
    std::string rawToolTip;                       // the RawValue cell's tool tip

    // The values the texts show, for scripts: the evaluated row the cells
    // were written from, its texts Chinese whatever the cells' language. An
    // NVMe field has no normalized value, worst value or threshold
    // (`normalized` false; those stay 0), its raw value may be wider than six
    // bytes (`rawBytes` holds all RawValue shows, row.raw the low six), and
    // its number may not fit in row.number (`numberFits`).
    SmartRow row;
    std::vector<uint8_t> rawBytes;  // most significant first
    bool normalized = true;
    bool numberFits = true;
};

// The texts of one evaluated row of an ATA drive.
SmartTableRow SmartTableRowOf(const SmartRow& row, const texts::TextLookup& shown = {});

// Chooses the catalogue from the record's model text and maker flag,
// evaluates its SMART sectors and writes the rows; sendLife is called as
// EvaluateSmart describes. An NVMe drive gets the rows of its health log
// instead (NvmeHealthRows), none when the log was not read.
std::vector<SmartTableRow> BuildSmartTable(const PhyDiskInfo& record, const LifeReport& sendLife,
                                           const texts::TextLookup& shown = {});

// Whether the drive answered for its health: SMART READ DATA, or an NVMe
// drive's health log page.
bool HealthDataRead(const PhyDiskInfo& record);

}  // namespace smart
