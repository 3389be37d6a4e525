#pragma once
// A simulated drive's interpretation of the ATA commands it receives (IDENTIFY
// DEVICE, SMART READ DATA / READ THRESHOLDS, DOWNLOAD MICROCODE), and what it
// has received so far. Anything else fails, as a real drive aborts a command
// it does not know.

#include "disk/simulated/AtaSectors.h"
#include "disk/StorageControl.h"

#include <cstdint>
#include <optional>
#include <vector>

struct AtaRegisters {
    uint8_t features = 0;
    uint8_t count = 0;
    uint8_t lbaLow = 0;
    uint8_t lbaMid = 0;
    uint8_t lbaHigh = 0;
    uint8_t device = 0;
    uint8_t command = 0;
};

// What a drive answers and which of its commands fail.
struct DriveBehaviour {
    std::optional<Sector> identify;  // none: IDENTIFY is aborted
    Sector smartData{};
    Sector smartThresholds{};
    bool smartUnsupported = false;   // both SMART commands are aborted
    int failingCommand = 0;          // the k-th command received (from 1) is aborted
    int delayMs = 0;                 // every command takes this long before the drive answers
};

// One DOWNLOAD MICROCODE command as the drive received it.
struct DownloadSegment {
    uint8_t features = 0;
    uint16_t blockCount = 0;  // sector count, then LBA low as the high byte
    uint16_t offset = 0;      // LBA mid, then LBA high as the high byte
    std::vector<uint8_t> data;
};

class SimulatedDrive {
public:
    // Runs one command; true when the drive completes it, false when it aborts it (ERR).
    bool execute(const DriveBehaviour& behaviour, const AtaRegisters& registers, uint8_t* buffer, uint32_t length,
                 DataDirection direction);

    int commandsReceived() const { return commandsReceived_; }
    const std::vector<DownloadSegment>& downloads() const { return downloads_; }

private:
    bool answer(const Sector& sector, uint8_t* buffer, uint32_t length, DataDirection direction) const;
    bool download(const AtaRegisters& registers, const uint8_t* buffer, uint32_t length, DataDirection direction);

    int commandsReceived_ = 0;
    std::vector<DownloadSegment> downloads_;
};

// The registers of an ATA PASS-THROUGH (12) command block, when it is one
// whose protocol moves data the way `direction` says.
std::optional<AtaRegisters> satRegisters(const SatCdb& cdb, DataDirection direction, uint32_t length);
AtaRegisters ataRegisters(const AtaTaskFile& taskFile);
