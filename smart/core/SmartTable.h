#pragma once
// The whole SMART table of one disk record, as texts ready to show.

#include <vector>

#include "disk/PhyDiskInfo.h"
#include "smart/core/SmartEvaluate.h"
#include "smart/core/SmartFormat.h"
#include "smart/core/SmartStatus.h"

namespace smart {

struct SmartTableRow {
    SmartCells cells;        // indexed by SmartColumn
    StatusTone statusTone;   // how to draw cells[kColumnStatus]
    SmartRow row;            // the evaluated row the cells were written from
};

// Chooses the catalogue from the record's model text and maker flag,
// evaluates its SMART sectors and writes the rows; sendLife is called as
// EvaluateSmart describes.
std::vector<SmartTableRow> BuildSmartTable(const PhyDiskInfo& record, const LifeReport& sendLife);

}  // namespace smart
