#include "smart/core/SmartTable.h"

#include "smart/core/SmartCatalog.h"

namespace smart {

std::vector<SmartTableRow> BuildSmartTable(const PhyDiskInfo& record, const LifeReport& sendLife) {
    const bool isMakerDisk = record.isMakerDisk != 0;
    const std::vector<SmartAttrDesc> attrTable = BuildAttrTable(ModelText(record), isMakerDisk);

    SmartRows rows;
    int count = 0;
    EvaluateSmart(attrTable, isMakerDisk, record.smartData, record.smartThreshold, rows, count,
                  sendLife);

    std::vector<SmartTableRow> table;
    table.reserve(count);
    for (int i = 0; i < count; ++i) {
        table.push_back({SmartRowCells(rows[i]), StatusToneOf(rows[i].status), rows[i]});
    }
    return table;
}

}  // namespace smart
