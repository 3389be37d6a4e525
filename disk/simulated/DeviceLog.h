#pragma once
// What a simulated drive received, one record per command, and the line the
// command log file carries for it (format in the README):
//
//   drive=1 route=ata command=0301000800009200 direction=out length=4096 sha256=<64 hex> accepted=yes
//   drive=3 route=nvme command=06000000000100000000000000... direction=in length=4096 sha256=- accepted=yes

#include "disk/StorageControl.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// Environment variable naming the log file the simulated backend appends to.
constexpr const char* kDeviceLogVariable = "QUILLFENCE_DEVICE_LOG";

enum class CommandRoute { Ata, Sat, Nvme };

struct ReceivedCommand {
    int drive = -1;
    CommandRoute route = CommandRoute::Ata;
    std::vector<uint8_t> block;  // the 8-byte task file, the 12-byte SAT command or NvmeCommandBytes()
    DataDirection direction = DataDirection::In;
    uint32_t length = 0;         // bytes of data moved
    std::string dataSha256;      // of the bytes sent; empty when data came in
    bool accepted = false;       // completed without ERR or sense data
};

// An NVMe admin command as the log shows it: the opcode, then the namespace
// ID and CDW10 to CDW15, each 4 bytes least significant first (29 bytes).
std::vector<uint8_t> NvmeCommandBytes(const NvmeAdminCommand& command);

// The log line of one command, without the line end.
std::string DeviceLogLine(const ReceivedCommand& command);

// The log file, opened for the line of one command. It is opened before the
// drive runs the command, so a log that cannot be opened stops the command
// before the drive sees it. Only a regular file, or a new one, is used.
class DeviceLogFile {
public:
    DeviceLogFile() = default;
    DeviceLogFile(const DeviceLogFile&) = delete;
    DeviceLogFile& operator=(const DeviceLogFile&) = delete;
    ~DeviceLogFile();

    // Opens the file at `path` for appending; false when it cannot, and
    // error() says why.
    bool open(const std::string& path);
    // Appends `line` and a line end and closes the file; false when the line
    // could not be written whole.
    bool write(const std::string& line);
    const std::string& error() const { return error_; }

private:
    std::FILE* file_ = nullptr;
    std::string error_;
};
