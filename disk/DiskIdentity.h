#pragma once
// A drive's identity and SMART sectors, read over its bus's route, and the
// test for the maker's own drives.

#include "disk/PhyDiskInfo.h"

#include <cstdint>
#include <string>

// Result codes of GetPhyDiskInfo.
constexpr int kIdentityOk = 0;
constexpr int kIdentityNoBusType = -1;
constexpr int kIdentityFailedSata = -2;
constexpr int kIdentityFailedUsb = -3;
constexpr int kIdentityFailedOther = -4;

// Reads IDENTIFY DEVICE, SMART READ DATA and SMART READ THRESHOLDS of drive
// diskNum. identityBlock is serial, model and firmware, 260 characters each.
// isMakerDisk is only ever set to 1, never cleared.
int GetPhyDiskInfo(int diskNum, char* identityBlock, uint8_t& isMakerDisk, uint8_t* smartData,
                   uint8_t* smartThreshold);

// GetPhyDiskInfo into a record of the disk list: identity, maker flag, world
// wide name and SMART sectors copied into it whatever the result; valid set
// on success.
int ReadDiskIdentity(PhyDiskInfo& disk);

// The world wide name of an IDENTIFY DEVICE sector; 0 when word 87 does not
// say it reports one.
uint64_t WorldWideName(const uint8_t* identify);

// The text of IDENTIFY words firstWord … lastWord: each word high byte first,
// white space trimmed on both sides, ending at its first NUL.
std::string AtaText(const uint8_t* identify, int firstWord, int lastWord);

// The model rule: "QY" or "QX", and "M7A0", anywhere in the model text.
bool IsMakerModel(const std::string& model);
// The marker rule: "QUORVENTA" at bytes 400 … 408 of the SMART data sector.
bool HasMakerMarker(const uint8_t* smartSector);
