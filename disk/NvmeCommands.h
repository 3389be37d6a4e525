#pragma once
// The NVMe admin commands of the identity read, and where the identity and
// health values lie in the data they bring back. Both only read.

#include "disk/PhyDiskInfo.h"
#include "disk/StorageControl.h"

#include <cstdint>

constexpr uint8_t kNvmeOpcodeGetLogPage = 0x02;
constexpr uint8_t kNvmeOpcodeIdentify = 0x06;
constexpr uint8_t kNvmeIdentifyCnsController = 0x01;
constexpr uint8_t kNvmeLogHealth = 0x02;
constexpr uint32_t kNvmeBroadcastNamespace = 0xFFFFFFFF;
constexpr uint32_t kNvmeIdentifyLength = 4096;

// Identify, CNS 01h: the controller's identify data, 4096 bytes.
inline constexpr NvmeAdminCommand kNvmeIdentifyController = {kNvmeOpcodeIdentify, 0,
                                                            {kNvmeIdentifyCnsController, 0, 0, 0, 0, 0}};
// Get Log Page, SMART / Health Information (02h), 512 bytes (the dword count
// less one in CDW10 bits 31:16), for the whole controller.
inline constexpr NvmeAdminCommand kNvmeHealthLog = {
    kNvmeOpcodeGetLogPage, kNvmeBroadcastNamespace,
    {((kNvmeHealthLength / 4 - 1) << 16) | kNvmeLogHealth, 0, 0, 0, 0, 0}};

// The bytes a Get Log Page command moves: its zero-based dword count
// (NUMDU in CDW11 bits 15:0, NUMDL in CDW10 bits 31:16), plus one, times 4.
inline uint64_t NvmeLogPageLength(const NvmeAdminCommand& command)
{
    const uint64_t dwords = (command.cdw[0] >> 16) | (uint64_t(command.cdw[1] & 0xFFFF) << 16);
    return (dwords + 1) * 4;
}

// Identify Controller: ASCII texts, padded with spaces.
constexpr int kNvmeSerialOffset = 4, kNvmeSerialLength = 20;
constexpr int kNvmeModelOffset = 24, kNvmeModelLength = 40;
constexpr int kNvmeFirmwareOffset = 64, kNvmeFirmwareLength = 8;

// The SMART / Health Information log page: where each field begins; numbers
// are little-endian, counters 16 bytes long.
struct NvmeHealthLayout {
    static constexpr int kCriticalWarning = 0;       // 1 byte, a bit mask
    static constexpr int kTemperature = 1;           // 2 bytes, kelvins
    static constexpr int kAvailableSpare = 3;        // 1 byte, percent
    static constexpr int kSpareThreshold = 4;        // 1 byte, percent
    static constexpr int kPercentageUsed = 5;        // 1 byte, percent, may exceed 100
    static constexpr int kDataUnitsRead = 32;        // thousands of 512-byte units
    static constexpr int kDataUnitsWritten = 48;
    static constexpr int kHostReadCommands = 64;
    static constexpr int kHostWriteCommands = 80;
    static constexpr int kControllerBusyTime = 96;   // minutes
    static constexpr int kPowerCycles = 112;
    static constexpr int kPowerOnHours = 128;
    static constexpr int kUnsafeShutdowns = 144;
    static constexpr int kMediaErrors = 160;
    static constexpr int kErrorLogEntries = 176;
    static constexpr int kWarningTemperatureTime = 192;   // 4 bytes, minutes
    static constexpr int kCriticalTemperatureTime = 196;  // 4 bytes, minutes
    static constexpr int kTemperatureSensors = 200;  // 8 × 2 bytes, kelvins; 0: the sensor does not report
    static constexpr int kCounterLength = 16;
    static constexpr int kSensorCount = 8;
};
