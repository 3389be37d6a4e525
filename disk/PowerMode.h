#pragma once
// CHECK POWER MODE: whether a drive is spun down, asked without waking it.

#include "disk/IdentityCommands.h"
#include "disk/PhyDiskInfo.h"

#include <cstdint>
#include <optional>

// A non-data command in the identity read's two forms; the answer comes back
// in the Sector Count register. Through a USB bridge CK_COND asks for the
// registers.
inline constexpr IdentityCommand kCheckPowerMode = {
    {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xE5, 0x00},
    {0xA1, 0x06, 0x20, 0x00, 0x00, 0x00, 0x00, 0x00, 0xA0, 0xE5, 0x00, 0x00}};

enum class PowerMode {
    Standby,       // 00h, 01h; 40h (the NV cache's mode with the spindle stopped)
    Idle,          // 80h to 83h
    ActiveOrIdle,  // FFh, and any other answer
};

PowerMode PowerModeOf(uint8_t sectorCount);
// "standby", "idle", "active_or_idle".
const char* PowerModeName(PowerMode mode);

// Sends CHECK POWER MODE to drive diskNum over its bus's route; the drive's
// answer, or nothing when the command failed or no registers came back (a
// drive or bridge without the command). An NVMe drive has no such command
// and is sent nothing: its power states are the controller's own, and
// reading its health log spins nothing up.
std::optional<PowerMode> CheckPowerMode(int diskNum);

// A listed drive read without waking it: CHECK POWER MODE first, and nothing
// more to a drive in standby. Any other drive (also one that did not answer
// the question) has its identity and SMART data read into `disk`.
struct StandbyCheck {
    std::optional<PowerMode> mode;  // the drive's answer
    bool skipped = false;           // in standby: CHECK POWER MODE was all it received
};
StandbyCheck ReadIdentityUnlessStandby(PhyDiskInfo& disk);
