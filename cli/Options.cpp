#include "cli/Options.h"

std::optional<CommandOptions> parseOptions(const Arguments& args, AcceptedOptions accepted)
{
    CommandOptions options;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& word = args[i];
        if (word == "--include-system") {
            options.read.includeSystemDisk = true;
        } else if (word == "--nocheck" && i + 1 < args.size() && args[i + 1] == "standby") {
            options.read.noCheckStandby = true;
            ++i;
        } else if (accepted.json && word == "--json") {
            options.json = true;
        } else if (accepted.drive && word == "--all" && !options.all) {
            options.all = true;
        } else if (accepted.drive && !options.diskNum && parseDiskNumber(word)) {
            options.diskNum = parseDiskNumber(word);
        } else if (accepted.output && word == "--output" && i + 1 < args.size() && !args[i + 1].empty() &&
                   options.output.empty()) {
            options.output = args[++i];
        } else {
            return std::nullopt;
        }
    }
    if (accepted.drive && options.all == options.diskNum.has_value())
        return std::nullopt;
    return options;
}
