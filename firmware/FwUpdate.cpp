#include "firmware/FwUpdate.h"

#include "disk/DiskList.h"
#include "disk/DriveWriteLock.h"
#include "disk/StorageControl.h"

#include <algorithm>
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

}  // namespace

FwUpdateState FwUpdateStateFromRecord(const PhyDiskInfo& disk)
{
    FwUpdateState state;
    state.diskNum = disk.diskNum;
    state.model.assign(disk.model, std::find(disk.model, disk.model + kTextLength, '\0'));
    state.updateAllowed = disk.isMakerDisk != 0;
    state.device = disk.device;
    return state;
}

FirmwareDecision DecideFwUpdate(const FwUpdateState& state, const std::string& fwLabelText, const std::string& appDir)
{
    const FirmwareDecision latest;
    if (!state.updateAllowed)
        return latest;
    // A revision naming both is the latest: that test comes first.
    if (containsIgnoringCase(fwLabelText, kLatestRevision) ||
        !containsIgnoringCase(fwLabelText, kUpdatableRevision))
        return latest;
    for (const FwImageChoice& choice : kFwImages) {
        for (const char* capacity : choice.capacities) {
            if (state.model.find(capacity) != std::string::npos)
                return {false, bigChunksFor(state.model), appDir + choice.path};
        }
    }
    return latest;
}

FwUpdateOutcome SendFwUpdate(const FwUpdateState& state, const FirmwareDecision& decision, const FwProgress& progress)
{
    FwUpdateOutcome outcome;
    if (decision.latest)
        return outcome;
    const DriveWriteLock writer(state.diskNum, state.device);
    if (writer.state() == DriveWriteLock::State::Busy) {
        outcome.kind = FwOutcomeKind::Busy;
        return outcome;
    }
    uint32_t busType = 0;
    if (!GetBusType(state.diskNum, busType)) {
        outcome.kind = FwOutcomeKind::NoBusType;
        return outcome;
    }
    outcome.kind = FwOutcomeKind::Download;
    if (writer.state() != DriveWriteLock::State::Held) {
        outcome.code = kFwCommandFailed;
        return outcome;
    }
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
    case FwOutcomeKind::NoBusType:
        return std::nullopt;
    case FwOutcomeKind::Busy:
        return FwMessage{FwDialog::Notice, kFwBusyText};
    case FwOutcomeKind::Download:
        return FwResultMessage(outcome.code);
    }
    return std::nullopt;
}
