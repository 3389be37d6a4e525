#include "firmware/FwUpdate.h"

#include "disk/DiskList.h"
#include "disk/DriveWriteLock.h"
#include "disk/StorageControl.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

namespace {

struct FwImageChoice {
    const char* capacities[2];  // either one in the model text selects the image
    const char* path;           // appended to the program's folder as written
};

constexpr FwImageChoice kFwImages[] = {
    {{"120G", "128G"}, "//FwUpdata//DCBFCBCC.bin"},
    {{"240G", "256G"}, "//FwUpdata//DCBFCBGC.bin"},
    {{"480G", "512G"}, "//FwUpdata//DCBFCBOC.bin"},
};

// Model codes (the third of exactly three "-"-separated parts) of drives
// that take 256-sector blocks.
constexpr const char* kBigChunkCodes[] = {"M7B0", "M7C0", "M7B0M"};

constexpr const char* kLatestRevision = "0428c";
constexpr const char* kUpdatableRevision = "0208a";

// Letters A to Z folded whatever the locale; the revisions sought are ASCII,
// so the bytes of other characters never match them.
bool containsIgnoringCase(const std::string& text, const std::string& needle)
{
    const auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return std::search(text.begin(), text.end(), needle.begin(), needle.end(),
                       [&](char a, char b) { return fold(a) == fold(b); }) != text.end();
}

// Split at every "-", empty parts kept.
std::vector<std::string> splitAtDash(const std::string& text)
{
    std::vector<std::string> parts(1);
    for (char c : text) {
        if (c == '-')
            parts.emplace_back();
        else
            parts.back() += c;
    }
    return parts;
}

bool bigChunksFor(const std::string& model)
{
    const std::vector<std::string> parts = splitAtDash(model);
    return parts.size() == 3 &&
           std::any_of(std::begin(kBigChunkCodes), std::end(kBigChunkCodes),
                       [&](const char* code) { return parts[2] == code; });
}

// The image for the drive, or none when the drive is not to be updated: the
// update-allowed flag, the revision, then the capacity in the model text.
const FwImageChoice* chooseImage(const FwUpdateState& state, const std::string& fwLabelText)
{
    if (!state.updateAllowed)
        return nullptr;
    // A revision naming both is the latest: that test comes first.
    if (containsIgnoringCase(fwLabelText, kLatestRevision) ||
        !containsIgnoringCase(fwLabelText, kUpdatableRevision))
        return nullptr;
    for (const FwImageChoice& choice : kFwImages) {
        for (const char* capacity : choice.capacities) {
            if (state.model.find(capacity) != std::string::npos)
                return &choice;
        }
    }
    return nullptr;
}

// Why an update whose writer's lock was not had sent nothing.
FwOutcomeKind nothingSent(DriveWriteLock::State state)
{
    switch (state) {
    case DriveWriteLock::State::Busy:
        return FwOutcomeKind::Busy;
    case DriveWriteLock::State::NotAuthorised:
        return FwOutcomeKind::NotAuthorised;
    case DriveWriteLock::State::Changed:
        return FwOutcomeKind::DriveChanged;
    case DriveWriteLock::State::NoAccess:
        return FwOutcomeKind::NoAccess;
    case DriveWriteLock::State::Held:
    case DriveWriteLock::State::Failed:
        break;
    }
    return FwOutcomeKind::NotOpened;
}

// The maker's images are for its SATA drives: an NVMe drive is offered none.
FirmwareDecision nvmeDecision()
{
    FirmwareDecision decision;
    decision.nvme = true;
    return decision;
}

FirmwareDecision systemDiskDecision()
{
    FirmwareDecision decision;
    decision.systemDisk = true;
    return decision;
}

}  // namespace

FwUpdateState FwUpdateStateFromRecord(const PhyDiskInfo& disk)
{
    FwUpdateState state;
    state.diskNum = disk.diskNum;
    state.model.assign(disk.model, std::find(disk.model, disk.model + kTextLength, '\0'));
    state.updateAllowed = disk.isMakerDisk != 0;
    state.nvme = disk.isNvme != 0;
    state.systemDisk = disk.isSystemDisk != 0;
    state.device = disk.device;
    return state;
}

FirmwareDecision DecideFwUpdate(const FwUpdateState& state, const std::string& fwLabelText, const std::string& appDir)
{
    if (state.systemDisk)
        return systemDiskDecision();
    if (state.nvme)
        return nvmeDecision();
    const FwImageChoice* choice = chooseImage(state, fwLabelText);
    if (!choice)
        return {};
    return {false, bigChunksFor(state.model), appDir + choice->path};
}

FirmwareDecision DecideFwUpdateAmong(const FwUpdateState& state, const std::string& fwLabelText,
                                     const std::vector<std::string>& folders)
{
    if (state.systemDisk)
        return systemDiskDecision();
    if (state.nvme)
        return nvmeDecision();
    const FwImageChoice* choice = chooseImage(state, fwLabelText);
    if (!choice)
        return {};
    // Without any folder the path stays empty, and the transfer says so.
    std::string imagePath;
    if (!folders.empty()) {
        const auto holdsImage = [&](const std::string& folder) {
            std::error_code error;
            return std::filesystem::is_regular_file(std::filesystem::u8path(folder + choice->path), error);
        };
        const auto found = std::find_if(folders.begin(), folders.end(), holdsImage);
        imagePath = (found != folders.end() ? *found : folders.front()) + choice->path;
    }
    return {false, bigChunksFor(state.model), imagePath};
}

const char* FwNoUpdateText(const FirmwareDecision& decision)
{
    if (decision.systemDisk)
        return kFwSystemDiskText;
    return decision.nvme ? kFwNvmeText : kFwLatestText;
}

FwUpdateOutcome SendFwUpdate(const FwUpdateState& state, const FirmwareDecision& decision, const FwProgress& progress)
{
    FwUpdateOutcome outcome;
    // The system disk is refused here too, whatever decision came with it.
    if (state.systemDisk || decision.systemDisk) {
        outcome.kind = FwOutcomeKind::NotForSystemDisk;
        return outcome;
    }
    if (decision.latest) {
        outcome.kind = decision.nvme ? FwOutcomeKind::NotForNvme : FwOutcomeKind::Latest;
        return outcome;
    }
    const DriveWriteLock writer(state.diskNum, state.device);
    if (writer.state() != DriveWriteLock::State::Held) {
        outcome.kind = nothingSent(writer.state());
        return outcome;
    }
    uint32_t busType = 0;
    if (!GetBusType(state.diskNum, busType)) {
        outcome.kind = FwOutcomeKind::NoBusType;
        return outcome;
    }
    outcome.kind = FwOutcomeKind::Download;
    const DeviceIdentity* device = &writer.device();
    outcome.code = busType == kBusTypeUsb
                       ? DownloadFwUsb(state.diskNum, decision.imagePath, &outcome.transfer, device, progress)
                       : DownloadFwAta(decision.bigChunks, state.diskNum, decision.imagePath, &outcome.transfer,
                                       device, progress);
    return outcome;
}

FwUpdateOutcome UpdateFirmware(const FwUpdateState& state, const std::string& fwLabelText, const std::string& appDir)
{
    return SendFwUpdate(state, DecideFwUpdate(state, fwLabelText, appDir));
}

std::optional<FwMessage> FwOutcomeMessage(const FwUpdateOutcome& outcome)
{
    switch (outcome.kind) {
    case FwOutcomeKind::Latest:
        return FwMessage{FwDialog::Notice, kFwLatestText};
    case FwOutcomeKind::NotForNvme:
        return FwMessage{FwDialog::Notice, kFwNvmeText};
    case FwOutcomeKind::NotForSystemDisk:
        return FwMessage{FwDialog::Notice, kFwSystemDiskText};
    case FwOutcomeKind::NoBusType:
        return std::nullopt;
    case FwOutcomeKind::Busy:
        return FwMessage{FwDialog::Notice, kFwBusyText};
    case FwOutcomeKind::NotAuthorised:
        return FwMessage{FwDialog::Notice, kFwNotAuthorisedText};
    case FwOutcomeKind::DriveChanged:
        return FwMessage{FwDialog::Notice, kFwDriveChangedText};
    case FwOutcomeKind::NoAccess:
        return FwMessage{FwDialog::Notice, kFwNoAccessText};
    case FwOutcomeKind::NotOpened:
        return FwMessage{FwDialog::Notice, kFwNotOpenedText};
    case FwOutcomeKind::Download:
        return FwResultMessage(outcome.code);
    }
    return std::nullopt;
}
