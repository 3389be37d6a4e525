#pragma once
// The record of one physical disk and the disk list built from such records.
// Plain fixed-size data, zero-filled before use and copied by value.

#include "disk/DeviceIdentity.h"

#include <cstdint>

constexpr int kMaxPartitions = 26;
constexpr int kMaxDisks = 32;
constexpr int kTextLength = 260;
constexpr int kSmartDataLength = 378;
constexpr int kSectorSize = 512;
constexpr int kNvmeHealthLength = 512;  // the SMART / Health Information log page

struct PhyDiskInfo {
    int32_t diskNum;                    // n of "\\.\PHYSICALDRIVE%d"
    double capacity;                    // whole disk, GB of 2^30 bytes
    uint8_t partCount;                  // lettered volumes found on this disk
    char partLetter[kMaxPartitions];    // upper case, ascending
    double partTotal[kMaxPartitions];   // GB
    double partFree[kMaxPartitions];    // GB available to the current user
    uint8_t valid;                      // 1 when the identity read succeeded
    // serialNumber, model and firmware form one 780-byte identity block.
    char serialNumber[kTextLength];
    char model[kTextLength];
    char firmware[kTextLength];
    uint8_t smartData[kSmartDataLength];    // first 378 bytes of SMART READ DATA
    uint8_t smartThreshold[kSectorSize];    // the whole SMART READ THRESHOLDS sector
    uint8_t isMakerDisk;
    uint8_t isSystemDisk;
    // The device the drive number named when the list was read; commands
    // meant for this record go to that device only.
    DeviceIdentity device;
    // The world wide name of IDENTIFY words 108 to 111 (word 108 the most
    // significant), where word 87 says the drive reports one; 0 otherwise.
    uint64_t wwn;
    // An NVMe drive (bus type 17) is read over the NVMe route: its identity
    // texts above come from Identify Controller, its health from the SMART /
    // Health Information log page below, and smartData and smartThreshold
    // stay zero.
    uint8_t isNvme;                          // 1 for a drive read over the NVMe route
    uint8_t nvmeHealthRead;                  // 1 when the health log page was read
    uint8_t nvmeHealth[kNvmeHealthLength];   // the log page as the drive sent it
    // 1 when another program was writing to the drive (updating its
    // firmware) as it was to be read: nothing was sent to it, and valid is 0.
    uint8_t busy;
};

constexpr int kIdentityBlockLength = 3 * kTextLength;

// Bytes to GB of 2^30 bytes, as every size of the record is held.
inline double bytesToGB(double bytes)
{
    return bytes * 0.0009765625 * 0.0009765625 * 0.0009765625;
}
