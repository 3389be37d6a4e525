#pragma once
// The firmware-update decision and transfer behind the update button: which
// drives may be updated, the image that fits the drive's capacity, the route
// by bus type, and the message the user sees.
//
// The page keeps an FwUpdateState from each disk record it receives and, on
// the button, calls
//
//     const FwUpdateOutcome outcome = UpdateFirmware(state, lbFwText, appDir);
//     if (const auto message = FwOutcomeMessage(outcome))
//         show message->text with ShowSuccess or ShowNotice by message->dialog;
//
// lbFwText is the revision label's text and appDir the program's folder, both
// UTF-8.

#include "disk/PhyDiskInfo.h"
#include "firmware/FwDownload.h"
#include "firmware/FwResult.h"

#include <optional>
#include <string>

// The page's copy of the selected disk's record; the defaults are the page's
// state before any record arrived.
struct FwUpdateState {
    int diskNum = -1;
    std::string model;           // the record's model text, bytes as stored
    bool updateAllowed = false;  // the record's isMakerDisk
    DeviceIdentity device{};     // the device the record was read from
};

FwUpdateState FwUpdateStateFromRecord(const PhyDiskInfo& disk);

struct FirmwareDecision {
    bool latest = true;      // no update: kFwLatestText, nothing sent
    bool bigChunks = false;  // 256-sector blocks on the ATA route
    std::string imagePath;   // appDir followed by "//FwUpdata//<image>.bin"
};

// The decision, without touching any device: the update-allowed flag, the
// revision ("0428c" is the latest; otherwise "0208a" qualifies; case
// ignored), the model code and the image for the capacity in the model text.
FirmwareDecision DecideFwUpdate(const FwUpdateState& state, const std::string& fwLabelText, const std::string& appDir);

enum class FwOutcomeKind {
    Latest,     // nothing to update
    NoBusType,  // the bus-type query failed: nothing sent, nothing shown
    Busy,       // another writer holds the drive: nothing sent
    Download,   // a download was attempted; `code` says how it ended
};

struct FwUpdateOutcome {
    FwOutcomeKind kind = FwOutcomeKind::Latest;
    int code = kFwOk;
    FwTransfer transfer;
};

// Sends the decided image to the state's drive: through the USB route on a
// USB bus, otherwise the ATA route. The drive's writer's lock is held for the
// whole transfer, and every command goes to the device the record was read
// from: a drive number that names another device by now ends the transfer
// with kFwCommandFailed before anything more is sent. `progress` is told how
// far the download is (see FwProgress).
FwUpdateOutcome SendFwUpdate(const FwUpdateState& state, const FirmwareDecision& decision,
                             const FwProgress& progress = {});
// DecideFwUpdate, then SendFwUpdate when an update is due.
FwUpdateOutcome UpdateFirmware(const FwUpdateState& state, const std::string& fwLabelText, const std::string& appDir);

// What the page shows for an outcome; nothing after a failed bus-type query.
std::optional<FwMessage> FwOutcomeMessage(const FwUpdateOutcome& outcome);
