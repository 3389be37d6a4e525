#include "smart/core/SmartTable.h"

#include "smart/core/NvmeHealth.h"
#include "smart/core/SmartCatalog.h"

namespace smart {

SmartTableRow SmartTableRowOf(const SmartRow& row, const texts::TextLookup& shown) {
    SmartTableRow entry;
    entry.cells = SmartRowCells(row, shown);
    entry.statusTone = StatusToneOf(row.status);
    entry.rawToolTip = RawValueToolTip(row.raw, shown);
    entry.row = row;
    entry.rawBytes.assign(row.raw.begin(), row.raw.end());
    return entry;
}

bool HealthDataRead(const PhyDiskInfo& record) {
    return record.isNvme ? record.nvmeHealthRead != 0 : SmartDataRead(record.smartData);
}

std::vector<SmartTableRow> BuildSmartTable(const PhyDiskInfo& record, const LifeReport& sendLife,
                                           const texts::TextLookup& shown) {
    if (record.isNvme) {
        if (!record.nvmeHealthRead) return {};
        return NvmeHealthRows(record.nvmeHealth, sendLife, shown);
    }
    const bool isMakerDisk = record.isMakerDisk != 0;
    const std::vector<SmartAttrDesc> attrTable = BuildAttrTable(ModelText(record), isMakerDisk);

    SmartRows rows;
    int count = 0;
    EvaluateSmart(attrTable, isMakerDisk, record.smartData, record.smartThreshold, rows, count,
                  sendLife);

    std::vector<SmartTableRow> table;
    table.reserve(count);
    for (int i = 0; i < count; ++i) {
        table.push_back(SmartTableRowOf(rows[i], shown));
    }
    return table;
}

}  // namespace smart
