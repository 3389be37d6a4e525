#include "disk/linux/MachineReader.h"

#include <algorithm>
#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <unistd.h>

namespace {

// Files of sysfs and procfs are small; mountinfo may be long and is read
// until its end whatever its length.
std::optional<std::string> readWhole(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0)
        return std::nullopt;
    std::string text;
    char chunk[4096];
    for (;;) {
        const ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got < 0) {
            ::close(fd);
            return std::nullopt;
        }
        if (got == 0)
            break;
        text.append(chunk, static_cast<size_t>(got));
    }
    ::close(fd);
    return text;
}

bool startsWith(const std::string& text, const std::string& prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

MachineReader::MachineReader(std::string sysRoot, std::string mountInfo, std::string devRoot)
    : sysRoot_(std::move(sysRoot)), mountInfo_(std::move(mountInfo)), devRoot_(std::move(devRoot))
{
}

std::string MachineReader::real(const std::string& path) const
{
    if (startsWith(path, "/sys/") || path == "/sys")
        return sysRoot_ + path.substr(4);
    if (startsWith(path, "/dev/") || path == "/dev")
        return devRoot_ + path.substr(4);
    return path;
}

std::optional<std::string> MachineReader::readFile(const std::string& path) const
{
    return readWhole(real(path));
}

std::vector<std::string> MachineReader::listFolder(const std::string& path) const
{
    std::vector<std::string> names;
    DIR* folder = ::opendir(real(path).c_str());
    if (!folder)
        return names;
    while (const dirent* entry = ::readdir(folder)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..")
            names.push_back(name);
    }
    ::closedir(folder);
    return names;
}

std::optional<std::string> MachineReader::readLink(const std::string& path) const
{
    char target[PATH_MAX];
    const ssize_t length = ::readlink(real(path).c_str(), target, sizeof target);
    if (length < 0 || static_cast<size_t>(length) == sizeof target)
        return std::nullopt;
    return std::string(target, static_cast<size_t>(length));
}

std::optional<std::string> MachineReader::readMountInfo() const
{
    return readWhole(mountInfo_);
}

std::string joinLexically(const std::string& folder, const std::string& target)
{
    const std::string whole = !target.empty() && target[0] == '/' ? target : folder + "/" + target;
    std::vector<std::string> parts;
    size_t at = 0;
    while (at <= whole.size()) {
        const size_t end = std::min(whole.find('/', at), whole.size());
        const std::string part = whole.substr(at, end - at);
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        at = end + 1;
    }
    std::string path;
    for (const auto& part : parts)
        path += "/" + part;
    return path.empty() ? "/" : path;
}
