#include "cli/Options.h"

#include "cli/TextEscape.h"

namespace {

// "7", "-1", "1000": meant as a number, whether or not it is a drive number.
bool looksLikeNumber(const std::string& word)
{
    const size_t digits = word.rfind('-', 0) == 0 ? 1 : 0;
    return word.size() > digits && word.find_first_not_of("0123456789", digits) == std::string::npos;
}

}  // namespace

std::string unexpectedWord(const std::string& word, bool driveExpected)
{
    const std::string shown = printable(word);
    if (driveExpected && (looksLikeNumber(word) || word.rfind('-', 0) != 0))
        return shown + " is not a drive number";
    if (word.rfind('-', 0) == 0)
        return "unknown option " + shown;
    return "unexpected argument " + shown;
}

std::optional<CommandOptions> parseOptions(const Arguments& args, AcceptedOptions accepted, std::string& problem)
{
    CommandOptions options;
    auto refuse = [&](std::string text) -> std::optional<CommandOptions> {
        problem = std::move(text);
        return std::nullopt;
    };
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& word = args[i];
        const bool hasNext = i + 1 < args.size();
        if (word == "--include-system") {
            options.read.includeSystemDisk = true;
        } else if (word == "--nocheck") {
            if (!hasNext || args[i + 1] != "standby")
                return refuse("--nocheck takes the word standby");
            options.read.noCheckStandby = true;
            ++i;
        } else if (accepted.json && word == "--json") {
            options.json = true;
        } else if (accepted.drive && word == "--all") {
            if (options.all)
                return refuse("--all is given twice");
            options.all = true;
        } else if (accepted.drive && !options.diskNum && parseDiskNumber(word)) {
            options.diskNum = parseDiskNumber(word);
        } else if (accepted.output && word == "--output") {
            if (!options.output.empty())
                return refuse("--output is given twice");
            if (!hasNext || args[i + 1].empty())
                return refuse("--output needs a file name");
            options.output = args[++i];
        } else {
            return refuse(unexpectedWord(word, accepted.drive && !options.diskNum));
        }
    }
    if (accepted.drive && options.all && options.diskNum)
        return refuse("give a drive number N or --all, not both");
    if (accepted.drive && !options.all && !options.diskNum)
        return refuse("give a drive number N or --all");
    return options;
}
