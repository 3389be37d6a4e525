// `quillfence-cli update-firmware N [--yes] [--app-dir DIR]`: the firmware
// update of the update page for physical drive N. Without --yes it shows what
// it would send and sends nothing.

#include "cli/Commands.h"
#include "cli/DiskLookup.h"
#include "cli/Latin1.h"
#include "cli/Options.h"
#include "cli/Print.h"
#include "cli/UiText.h"
#include "firmware/FwImage.h"
#include "firmware/FwImageFolders.h"
#include "firmware/FwUpdate.h"

#include <optional>
#include <vector>

namespace {

struct FirmwareArguments {
    int diskNum = -1;
    bool send = false;
    std::string appDir;  // empty: the program's own folder, then the data folders
};

// Nothing, with `problem` saying why, when the words are not N [--yes] [--app-dir DIR].
std::optional<FirmwareArguments> parse(const Arguments& args, std::string& problem)
{
    if (args.empty()) {
        problem = "give the drive number N";
        return std::nullopt;
    }
    const auto diskNum = parseDiskNumber(args[0]);
    if (!diskNum) {
        problem = args[0].rfind("--", 0) == 0 ? "give the drive number N before the options"
                                              : unexpectedWord(args[0], true);
        return std::nullopt;
    }
    FirmwareArguments parsed;
    parsed.diskNum = *diskNum;
    for (size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--yes") {
            parsed.send = true;
        } else if (args[i] == "--app-dir") {
            if (i + 1 == args.size() || args[i + 1].empty()) {
                problem = "--app-dir needs a folder";
                return std::nullopt;
            }
            parsed.appDir = args[++i];
        } else {
            problem = unexpectedWord(args[i], false);
            return std::nullopt;
        }
    }
    return parsed;
}

}  // namespace

int firmwareCommand(const Arguments& args)
{
    std::string problem;
    const auto parsed = parse(args, problem);
    if (!parsed)
        return usage("update-firmware", problem);
    const std::vector<std::string> folders =
        parsed->appDir.empty() ? FwImageFolders() : std::vector<std::string>{parsed->appDir};
    if (folders.empty()) {
        printErr("quillfence-cli: the folder of this program cannot be determined; give --app-dir\n");
        return 1;
    }
    const auto disk = readDiskToUpdate(parsed->diskNum);
    if (!disk)
        return 1;

    // The revision as the page's label shows it.
    const std::string revision = latin1ToUtf8(disk->firmware);
    printOut("PhysicalDrive" + std::to_string(disk->diskNum) + "  model \"" + latin1ToUtf8(disk->model) +
             "\"  serial \"" + latin1ToUtf8(disk->serialNumber) + "\"  firmware \"" + revision + "\"\n");

    const FwUpdateState state = FwUpdateStateFromRecord(*disk);
    const FirmwareDecision decision = DecideFwUpdateAmong(state, revision, folders);
    if (decision.latest) {
        printOut(uiText("firmware", FwNoUpdateText(decision)) + '\n');
        return 1;
    }
    printOut("image " + decision.imagePath + '\n');

    if (!parsed->send) {
        FwImage image;
        const int prepared = PrepareFwImage(decision.imagePath, image);
        if (prepared != kFwOk) {
            printOut(uiText("firmware", FwResultMessage(prepared).text) + '\n');
            return 1;
        }
        printOut("image size " + std::to_string(image.size) + " bytes, " + std::to_string(image.sectors()) +
                 " sectors\nnothing sent: add --yes to send the image\n");
        return 0;
    }
    const FwUpdateOutcome outcome = SendFwUpdate(state, decision);
    const auto message = FwOutcomeMessage(outcome);
    if (!message) {
        printErr("quillfence-cli: the bus type of physical drive " + std::to_string(disk->diskNum) +
                 " could not be queried; nothing sent\n");
        return 1;
    }
    if (outcome.transfer.planned > 0)
        printOut("sent " + std::to_string(outcome.transfer.sent) + " of " + std::to_string(outcome.transfer.planned) +
                 " commands\n");
    printOut(uiText("firmware", message->text) + '\n');
    return message->dialog == FwDialog::Success ? 0 : 1;
}
