#include "disk/linux/MountInfo.h"

namespace {

bool isOctalDigit(char c)
{
    return c >= '0' && c <= '7';
}

std::vector<std::string> fields(const std::string& line)
{
    std::vector<std::string> words;
    size_t at = 0;
    while (at < line.size()) {
        const size_t start = line.find_first_not_of(' ', at);
        if (start == std::string::npos)
            break;
        const size_t end = std::min(line.find(' ', start), line.size());
        words.push_back(line.substr(start, end - start));
        at = end;
    }
    return words;
}

}  // namespace

std::string unescapeMountField(const std::string& field)
{
    std::string text;
    text.reserve(field.size());
    for (size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && isOctalDigit(field[i + 1]) &&
            isOctalDigit(field[i + 2]) && isOctalDigit(field[i + 3])) {
            text += static_cast<char>(((field[i + 1] - '0') << 6) | ((field[i + 2] - '0') << 3) | (field[i + 3] - '0'));
            i += 3;
        } else {
            text += field[i];
        }
    }
    return text;
}

std::vector<MountEntry> parseMountInfo(const std::string& text)
{
    std::vector<MountEntry> entries;
    size_t at = 0;
    while (at < text.size()) {
        const size_t end = std::min(text.find('\n', at), text.size());
        const std::vector<std::string> words = fields(text.substr(at, end - at));
        at = end + 1;
        // Six fixed fields, optional ones up to "-", then type, source and options.
        size_t separator = 6;
        while (separator < words.size() && words[separator] != "-")
            ++separator;
        if (words.size() < 6 || separator + 3 > words.size() || words[2].find(':') == std::string::npos)
            continue;
        MountEntry entry;
        entry.majMin = words[2];
        entry.root = unescapeMountField(words[3]);
        entry.mountPoint = unescapeMountField(words[4]);
        entry.type = words[separator + 1];
        entry.source = unescapeMountField(words[separator + 2]);
        if (separator + 3 < words.size())
            entry.superOptions = unescapeMountField(words[separator + 3]);
        entries.push_back(std::move(entry));
    }
    return entries;
}
