#pragma once

#include <cstring>
#include <string>

#include "disk/NvmeCommands.h"
#include "disk/PhyDiskInfo.h"
#include "smart/samples/SmartSamples.h"

// The label of the NVMe example drive: 45 ℃, spare 100 % over a threshold of
// 10 %, 7 % used, the reliability warning (bit 2) and three media errors.
const std::string kNvmeSample = "nvme-reliability";

inline void PutNvmeField(PhyDiskInfo &record, int offset, uint64_t value, int width)
{
    for (int i = 0; i < width; ++i, value >>= 8)
        record.nvmeHealth[offset + i] = value & 0xFF;
}

// A zero-filled disk record carrying the example drive `label` (see
// SmartSamples, and kNvmeSample); stays all zero for an unknown label.
inline PhyDiskInfo SampleRecord(const std::string &label)
{
    PhyDiskInfo record;
    std::memset(&record, 0, sizeof record);
    if (label == kNvmeSample) {
        using L = NvmeHealthLayout;
        std::strcpy(record.model, "Corvid NV3 1TB");
        record.isNvme = 1;
        record.nvmeHealthRead = 1;
        PutNvmeField(record, L::kCriticalWarning, 0x04, 1);
        PutNvmeField(record, L::kTemperature, 318, 2);
        PutNvmeField(record, L::kAvailableSpare, 100, 1);
        PutNvmeField(record, L::kSpareThreshold, 10, 1);
        PutNvmeField(record, L::kPercentageUsed, 7, 1);
        PutNvmeField(record, L::kDataUnitsRead, 48213337, 8);
        PutNvmeField(record, L::kDataUnitsWritten, 39870112, 8);
        PutNvmeField(record, L::kPowerOnHours, 5678, 8);
        PutNvmeField(record, L::kMediaErrors, 3, 8);
        PutNvmeField(record, L::kTemperatureSensors, 325, 2);
        return record;
    }
    for (const smart::SmartSample &sample : smart::SmartSamples()) {
        if (sample.label == label)
            sample.CopyInto(record);
    }
    return record;
}
