#pragma once
// A simulated drive's interpretation of the ATA commands it receives (IDENTIFY
// DEVICE, SMART READ DATA / READ THRESHOLDS, DOWNLOAD MICROCODE, CHECK POWER
// MODE) or, an NVMe drive, of the NVMe admin commands (Identify Controller,
// Get Log Page for the SMART / Health Information), and what it has received
// so far. Anything else fails, as a real drive aborts a command it does not
// know.

#include "disk/simulated/AtaSectors.h"
#include "disk/simulated/NvmeData.h"
#include "disk/simulated/Sha256.h"
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
    bool smartUnsupported = false;   // both SMART commands, or the health log, are aborted
    int failingCommand = 0;          // the k-th command received (from 1) is aborted
    bool standby = false;            // spun down until a command reaches its media
    int delayMs = 0;                 // every command takes this long before the drive answers
    // An NVMe drive's answers.
    std::optional<NvmeIdentifyData> nvmeIdentify;  // none: Identify is aborted
    NvmeHealthLog healthLog{};
};

// Status fields an NVMe drive completes a command with.
constexpr uint16_t kNvmeStatusSuccess = 0x0000;
constexpr uint16_t kNvmeStatusInvalidOpcode = 0x0001;
constexpr uint16_t kNvmeStatusInvalidField = 0x0002;
constexpr uint16_t kNvmeStatusInternalError = 0x0006;

// One DOWNLOAD MICROCODE command as the drive received it: its registers and
// a digest of its data, so that a large image is never held in memory.
struct DownloadSegment {
    uint8_t features = 0;
    uint16_t blockCount = 0;  // sector count, then LBA low as the high byte
    uint16_t offset = 0;      // LBA mid, then LBA high as the high byte
    uint32_t length = 0;      // bytes of data
    Sha256Digest sha256{};    // of those bytes
};

// Bytes of downloaded data kept as they came: the first 64 KiB.
constexpr size_t kDownloadSampleBytes = 64 * 1024;

class SimulatedDrive {
public:
    // Runs one command; true when the drive completes it, false when it aborts
    // it (ERR). `count` is the Sector Count register the drive returns.
    bool execute(const DriveBehaviour& behaviour, const AtaRegisters& registers, uint8_t* buffer, uint32_t length,
                 DataDirection direction, uint8_t& count);

    // Runs one NVMe admin command; the status it completes with.
    uint16_t executeNvme(const DriveBehaviour& behaviour, const NvmeAdminCommand& command, uint8_t* buffer,
                         uint32_t length);

    int commandsReceived() const { return commandsReceived_; }
    // A drive in standby stays there until a command other than CHECK POWER
    // MODE reaches it.
    bool inStandby(const DriveBehaviour& behaviour) const { return behaviour.standby && !woken_; }
    // Every DOWNLOAD MICROCODE command the drive took, in order.
    const std::vector<DownloadSegment>& downloads() const { return downloads_; }
    // All their data, one after the other: its length, its digest and its
    // first kDownloadSampleBytes bytes.
    uint64_t downloadedBytes() const { return downloadedBytes_; }
    Sha256Digest downloadedSha256() const { return downloadedStream_.digest(); }
    const std::vector<uint8_t>& downloadedSample() const { return downloadedSample_; }

private:
    bool answer(const Sector& sector, uint8_t* buffer, uint32_t length, DataDirection direction) const;
    bool download(const AtaRegisters& registers, const uint8_t* buffer, uint32_t length, DataDirection direction);

    int commandsReceived_ = 0;
    bool woken_ = false;
    std::vector<DownloadSegment> downloads_;
    uint64_t downloadedBytes_ = 0;
    Sha256Stream downloadedStream_;
    std::vector<uint8_t> downloadedSample_;
};

// The registers of an ATA PASS-THROUGH (12) command block, when it is one
// whose protocol moves data the way `direction` says.
std::optional<AtaRegisters> satRegisters(const SatCdb& cdb, DataDirection direction, uint32_t length);
AtaRegisters ataRegisters(const AtaTaskFile& taskFile);
