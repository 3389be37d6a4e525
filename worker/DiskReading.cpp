#include "worker/DiskReading.h"

#include "smart/core/SmartTable.h"

std::optional<int> RemainingLifeOf(const PhyDiskInfo& record)
{
    std::optional<int> life;
    smart::BuildSmartTable(record, [&](int percent) { life = percent; });
    return life;
}
