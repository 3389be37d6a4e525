#pragma once
// The firmware-update decision and transfer behind the update button: which
// drives may be updated, the image that fits the drive's capacity, the route
// by bus type, and the message the user sees.
//
// The page keeps an FwUpdateState from each disk record it receives and, on
// the button, calls
//
//     const FwUpdateOutcome outcome =
//         SendFwUpdate(state, DecideFwUpdateAmong(state, lbFwText, FwImageFolders()));
//     if (const auto message = FwOutcomeMessage(outcome))
//         show message->text with ShowSuccess or ShowNotice by message->dialog;
//
// lbFwText is the revision label's text, UTF-8, as are the folders.

#include "disk/PhyDiskInfo.h"
#include "firmware/FwDownload.h"
#include "firmware/FwResult.h"

#include <optional>
#include <string>
#include <vector>

// The page's copy of the selected disk's record; the defaults are the page's
// state before any record arrived.
struct FwUpdateState {
    int diskNum = -1;
    std::string model;           // the record's model text, bytes as stored
    bool updateAllowed = false;  // the record's isMakerDisk
    bool nvme = false;           // the record's isNvme
    bool systemDisk = false;     // the record's isSystemDisk
    DeviceIdentity device{};     // the device the record was read from
};

FwUpdateState FwUpdateStateFromRecord(const PhyDiskInfo& disk);

struct FirmwareDecision {
    bool latest = true;      // no update: FwNoUpdateText says why, nothing is sent
    bool bigChunks = false;  // 256-sector blocks on the ATA route
    std::string imagePath;   // a folder followed by "//FwUpdata//<image>.bin"
    bool nvme = false;       // no update offered to an NVMe drive: kFwNvmeText
    bool systemDisk = false;  // none to the system disk: kFwSystemDiskText
};

// The decision, without touching any device: none for the system disk or an
// NVMe drive, then
// the update-allowed flag, the revision ("0428c" is the latest; otherwise
// "0208a" qualifies; case ignored), the model code and the image for the
// capacity in the model text.
FirmwareDecision DecideFwUpdate(const FwUpdateState& state, const std::string& fwLabelText, const std::string& appDir);

// DecideFwUpdate for the first of `folders` whose "FwUpdata" holds the chosen
// image as a regular file. When none does, the image path is the first
// folder's, so that a missing image is reported for it as a file of size 0;
// without any folder it is empty.
FirmwareDecision DecideFwUpdateAmong(const FwUpdateState& state, const std::string& fwLabelText,
                                     const std::vector<std::string>& folders);

// The text of a decision that sends nothing: kFwSystemDiskText, kFwNvmeText
// or kFwLatestText.
const char* FwNoUpdateText(const FirmwareDecision& decision);

enum class FwOutcomeKind {
    Latest,         // nothing to update
    NotForNvme,     // an NVMe drive: nothing offered, nothing sent
    NotForSystemDisk,  // the system disk: nothing offered, nothing sent
    NoBusType,      // the bus-type query failed: nothing sent, nothing shown
    Busy,           // another writer holds the drive: nothing sent
    NotAuthorised,  // the administrator's authorisation was refused: nothing sent
    DriveChanged,   // the drive is gone, or another device stands under its number: nothing sent
    NoAccess,       // the drive could not be opened for lack of rights: nothing sent
    NotOpened,      // the drive could not be opened or locked otherwise: nothing sent
    Download,       // a download was attempted; `code` says how it ended
};

struct FwUpdateOutcome {
    FwOutcomeKind kind = FwOutcomeKind::Latest;
    int code = kFwOk;
    FwTransfer transfer;
};

// Sends the decided image to the state's drive: through the USB route on a
// USB bus, otherwise the ATA route. The drive's writer's lock is held for the
// whole transfer, and every command goes to the device the record was read
// from: a drive that is not that device by now is sent nothing
// (DriveChanged, or kFwDriveChanged before the first command), or nothing
// more (kFwCommandFailed). `progress` is told how far the download is (see
// FwProgress).
FwUpdateOutcome SendFwUpdate(const FwUpdateState& state, const FirmwareDecision& decision,
                             const FwProgress& progress = {});
// DecideFwUpdate, then SendFwUpdate when an update is due.
FwUpdateOutcome UpdateFirmware(const FwUpdateState& state, const std::string& fwLabelText, const std::string& appDir);

// What the page shows for an outcome; nothing after a failed bus-type query.
std::optional<FwMessage> FwOutcomeMessage(const FwUpdateOutcome& outcome);
