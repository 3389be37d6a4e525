#pragma once

#include <cstring>
#include <string>

#include "disk/PhyDiskInfo.h"
#include "smart/samples/SmartSamples.h"

// A zero-filled disk record carrying the example drive `label` (see
// SmartSamples); stays all zero for an unknown label.
inline PhyDiskInfo SampleRecord(const std::string &label)
{
    PhyDiskInfo record;
    std::memset(&record, 0, sizeof record);
    for (const smart::SmartSample &sample : smart::SmartSamples()) {
        if (sample.label == label)
            sample.CopyInto(record);
    }
    return record;
}
