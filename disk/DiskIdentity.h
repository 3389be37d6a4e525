#pragma once
// A drive's identity and SMART sectors, read over its bus's route, and the
// test for the maker's own drives. An NVMe drive answers Identify Controller
// and the SMART / Health Information log page instead of the ATA commands.

#include "disk/PhyDiskInfo.h"

#include <cstdint>
#include <string>

// Result codes of GetPhyDiskInfo.
constexpr int kIdentityOk = 0;
constexpr int kIdentityNoBusType = -1;
constexpr int kIdentityFailedSata = -2;
constexpr int kIdentityFailedUsb = -3;
constexpr int kIdentityFailedOther = -4;
// Another program is writing to the drive (updating its firmware): nothing
// was sent to it.
constexpr int kIdentityBusy = -5;

// What an NVMe drive's identity read brings besides its identity.
struct NvmeHealthAnswer {
    bool nvme = false;        // the drive was read over the NVMe route
    bool healthRead = false;  // its health log page came back
    uint8_t log[kNvmeHealthLength] = {};  // the log page; zeros when not read
};

// Reads IDENTIFY DEVICE, SMART READ DATA and SMART READ THRESHOLDS of drive
// diskNum, or of an NVMe drive Identify Controller and its health log page
// (into `nvmeHealth` when given; its SMART sectors stay zero). identityBlock
// is serial, model and firmware, 260 characters each. isMakerDisk is only
// ever set to 1, never cleared.
int GetPhyDiskInfo(int diskNum, char* identityBlock, uint8_t& isMakerDisk, uint8_t* smartData,
                   uint8_t* smartThreshold, NvmeHealthAnswer* nvmeHealth = nullptr);

// GetPhyDiskInfo into a record of the disk list: identity, maker flag, world
// wide name, SMART sectors and NVMe health copied into it whatever the
// result; valid set on success, busy when another program is writing to the
// drive.
int ReadDiskIdentity(PhyDiskInfo& disk);

// The world wide name of an IDENTIFY DEVICE sector; 0 when word 87 does not
// say it reports one.
uint64_t WorldWideName(const uint8_t* identify);

// The text of IDENTIFY words firstWord … lastWord: each word high byte first,
// white space trimmed on both sides, ending at its first NUL.
std::string AtaText(const uint8_t* identify, int firstWord, int lastWord);
// The text of `length` bytes from `offset` of Identify Controller data, as
// they stand, trimmed and ended the same way.
std::string NvmeText(const uint8_t* identify, int offset, int length);

// The model rule: "QY" or "QX", and "M7A0", anywhere in the model text.
bool IsMakerModel(const std::string& model);
// The marker rule: "QUORVENTA" at bytes 400 … 408 of the SMART data sector.
bool HasMakerMarker(const uint8_t* smartSector);
