#pragma once
// Builds what an NVMe drive answers to Identify Controller (4096 bytes) and
// to Get Log Page for its SMART / Health Information (512 bytes), laid out as
// the controller sends them.

#include <array>
#include <cstdint>
#include <string>

using NvmeIdentifyData = std::array<uint8_t, 4096>;
using NvmeHealthLog = std::array<uint8_t, 512>;
using Counter128 = std::array<uint8_t, 16>;  // least significant byte first

// The fields of the health log, in the units the log keeps them.
struct NvmeHealthFields {
    uint8_t criticalWarning = 0;  // bit mask
    uint16_t temperature = 0;     // composite, kelvins
    uint8_t availableSpare = 0;   // percent
    uint8_t spareThreshold = 0;   // percent
    uint8_t percentageUsed = 0;   // may exceed 100
    Counter128 dataUnitsRead{};   // thousands of 512-byte units
    Counter128 dataUnitsWritten{};
    Counter128 hostReadCommands{};
    Counter128 hostWriteCommands{};
    Counter128 controllerBusyTime{};  // minutes
    Counter128 powerCycles{};
    Counter128 powerOnHours{};
    Counter128 unsafeShutdowns{};
    Counter128 mediaErrors{};
    Counter128 errorLogEntries{};
    uint32_t warningTemperatureTime = 0;   // minutes
    uint32_t criticalTemperatureTime = 0;  // minutes
    std::array<uint16_t, 8> temperatureSensors{};  // kelvins; 0: the sensor does not report
};

// The 16-byte counters of the health log: the fleet file's key of each, its
// field and where the log keeps it.
struct NvmeCounterField {
    const char* key;
    Counter128 NvmeHealthFields::*field;
    int offset;
};
extern const std::array<NvmeCounterField, 10> kNvmeCounterFields;

// Identify Controller with the serial number, model number and firmware
// revision as ASCII, padded with spaces.
NvmeIdentifyData buildNvmeIdentify(const std::string& serial, const std::string& model, const std::string& firmware);
NvmeHealthLog buildNvmeHealthLog(const NvmeHealthFields& fields);
