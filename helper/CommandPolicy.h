#pragma once
// The drive commands the helper passes on: exactly the ones the program
// sends. The identity read (IDENTIFY DEVICE, SMART READ DATA, SMART READ
// THRESHOLDS, one sector in each) and CHECK POWER MODE (no data) as task
// files and SAT command blocks; DOWNLOAD MICROCODE in the program's two
// forms, its data as long as the command's block count says. Of NVMe admin
// commands, the identity read's two: Identify Controller (4096 bytes) and
// the SMART / Health Information log page of the whole controller (512
// bytes), both bringing data in. Anything else is refused.

#include "disk/StorageControl.h"

#include <string>

struct CommandVerdict {
    bool allowed = false;
    bool download = false;  // DOWNLOAD MICROCODE: only for an authorised writer
    std::string reason;     // why it is refused
};

CommandVerdict checkAtaCommand(const AtaTaskFile& taskFile, DataDirection direction, uint32_t length);
CommandVerdict checkSatCommand(const SatCdb& cdb, DataDirection direction, uint32_t length);
CommandVerdict checkNvmeCommand(const NvmeAdminCommand& command, uint32_t length);
