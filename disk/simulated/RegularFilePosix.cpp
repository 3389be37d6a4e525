#include "disk/simulated/RegularFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// O_NONBLOCK: a FIFO opens at once instead of waiting for its other end (it
// is refused right after); regular files ignore it. O_NOFOLLOW: a symbolic
// link in the file's place is refused, not followed.
constexpr int kOpenFlags = O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC;

// Why an open failed; `failure` leads a reason that is not the file's kind.
std::string openError(int error, const std::string& failure)
{
    if (error == ELOOP)
        return "is a symbolic link";
    // A directory opened for writing; a FIFO without a reader, or a device
    // file without its device.
    if (error == EISDIR || error == ENXIO)
        return "is not a regular file";
    return failure + ": " + std::strerror(error);
}

// Closes `fd` unless it is a regular file.
bool keepRegular(int fd, struct stat& status, std::string& error)
{
    if (fstat(fd, &status) != 0)
        error = std::strerror(errno);
    else if (!S_ISREG(status.st_mode))
        error = "is not a regular file";
    else
        return true;
    ::close(fd);
    return false;
}

std::string tooLarge(size_t maxBytes)
{
    return "is larger than " + std::to_string(maxBytes) + " bytes";
}

}  // namespace

std::optional<std::string> readRegularFile(const std::string& path, size_t maxBytes, std::string& error)
{
    const int fd = ::open(path.c_str(), O_RDONLY | kOpenFlags);
    if (fd < 0) {
        error = openError(errno, "cannot be read");
        return std::nullopt;
    }
    struct stat status;
    if (!keepRegular(fd, status, error))
        return std::nullopt;
    if (static_cast<unsigned long long>(status.st_size) > maxBytes) {
        ::close(fd);
        error = tooLarge(maxBytes);
        return std::nullopt;
    }
    // The bound holds while reading too, since the file may grow meanwhile.
    std::string contents;
    std::string failure;
    char chunk[4096];
    for (;;) {
        const ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            failure = std::string("cannot be read: ") + std::strerror(errno);
        else if (contents.size() + static_cast<size_t>(got) > maxBytes)
            failure = tooLarge(maxBytes);
        if (got <= 0 || !failure.empty())
            break;
        contents.append(chunk, static_cast<size_t>(got));
    }
    ::close(fd);
    if (!failure.empty()) {
        error = failure;
        return std::nullopt;
    }
    return contents;
}

std::FILE* openRegularFileToAppend(const std::string& path, std::string& error)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | kOpenFlags, 0666);
    if (fd < 0) {
        error = openError(errno, "cannot be opened");
        return nullptr;
    }
    struct stat status;
    if (!keepRegular(fd, status, error))
        return nullptr;
    std::FILE* file = ::fdopen(fd, "a");
    if (!file) {
        error = std::strerror(errno);
        ::close(fd);
    }
    return file;
}
