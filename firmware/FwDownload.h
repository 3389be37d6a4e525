#pragma once
// Sending a firmware image with ATA DOWNLOAD MICROCODE (92h): directly as ATA
// task files, or wrapped in SAT ATA PASS-THROUGH (12) for a USB bridge.

#include "disk/StorageControl.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

constexpr uint32_t kFwSmallBlock = 8;  // sectors per piece: every USB drive, most ATA drives
constexpr uint32_t kFwBigBlock = 256;  // ATA drives whose model code allows it (bigChunks)

// Single: the whole image at once (features 07h, download and save).
// Piece: part of the first n − 1 sectors (features 03h, with offsets).
// Final: the last sector alone (features 03h), which completes the download.
enum class FwCommandKind { Single, Piece, Final };

struct FwCommand {
    FwCommandKind kind;
    uint8_t features;
    uint16_t blockCount;  // sectors of this command
    uint16_t offset;      // first sector of this command in the image
};

// The commands for an image of `sectors` sectors (1 … 65536) in blocks of
// `blockSize` sectors, in sending order.
std::vector<FwCommand> PlanFwDownload(uint32_t sectors, uint32_t blockSize);

// The registers of a command: count in Sector Count and LBA Low, offset in
// LBA Mid and LBA High; device 00h on the ATA route, E0h on the SAT route;
// SAT protocol UDMA data-out for pieces, PIO data-out for single and final commands.
AtaTaskFile FwAtaTaskFile(const FwCommand& command);
SatCdb FwSatCdb(const FwCommand& command);

// How far a download got: commands planned and commands sent to the drive
// (the last one sent is the one that failed when the drive failed one; a
// command that never reached the drive is not counted).
struct FwTransfer {
    int planned = 0;
    int sent = 0;
};

// Told how far a download is: once with 0 sent when the image is prepared
// and the commands planned, then after every command sent (a failed one
// included). Called on the thread that runs the download.
using FwProgress = std::function<void(const FwTransfer& transfer)>;

// Prepare the image at `imagePath` and send it to physical drive `diskNum`
// over the ATA route (256-sector blocks when bigChunks, else 8) or the USB
// route (always 8). A result code of FwResult.h; the first failing command
// ends the transfer with kFwCommandFailed. With `device`, a command goes
// only to that device: when the drive number names another one, or none,
// the transfer ends there, with kFwDriveChanged when nothing was sent yet.
int DownloadFwAta(bool bigChunks, int diskNum, const std::string& imagePath, FwTransfer* transfer = nullptr,
                  const DeviceIdentity* device = nullptr, const FwProgress& progress = {});
int DownloadFwUsb(int diskNum, const std::string& imagePath, FwTransfer* transfer = nullptr,
                  const DeviceIdentity* device = nullptr, const FwProgress& progress = {});
