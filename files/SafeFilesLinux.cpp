// Replacing and reading files with POSIX calls: mkstemp() creates the new
// file exclusively (never through a link), rename() replaces the name itself.

#include "files/SafeFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

namespace files {

namespace {

bool writeAll(int fd, const std::string& content)
{
    const char* data = content.data();
    std::size_t left = content.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, left);
        if (written < 0 && errno == EINTR)
            continue;
        if (written == 0)
            errno = EIO;
        if (written <= 0)
            return false;
        data += written;
        left -= static_cast<std::size_t>(written);
    }
    return true;
}

}  // namespace

bool replaceFile(const std::filesystem::path& path, const std::string& content, std::error_code* error)
{
    // Hidden beside the target, so the rename stays within one file system.
    std::filesystem::path temporary = path;
    temporary.replace_filename("." + path.filename().string() + ".XXXXXX");
    std::string name = temporary.string();
    std::vector<char> pattern(name.begin(), name.end());
    pattern.push_back('\0');

    // The reason of the first step that failed, taken before any other call.
    int reason = 0;
    const auto step = [&reason](bool done) {
        if (!done && reason == 0)
            reason = errno;
        return done;
    };
    const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    bool done = step(fd >= 0);
    if (done) {
        // mkstemp() creates the file for its owner only; the replaced file was
        // readable by everyone, as files created by the program usually are.
        done = step(::fchmod(fd, S_IRUSR | S_IWUSR | S_IRGRP | S_IROTH) == 0) && step(writeAll(fd, content)) &&
               step(::fsync(fd) == 0);
        done = step(::close(fd) == 0) && done;
        done = done && step(::rename(pattern.data(), path.c_str()) == 0);
        if (!done)
            ::unlink(pattern.data());
    }
    if (!done && error)
        *error = std::error_code(reason, std::generic_category());
    return done;
}

std::optional<std::string> readRegularFile(const std::filesystem::path& path, std::size_t maxBytes)
{
    // Looked at before opening: opening a device can act on it.
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode))
        return std::nullopt;
    // O_NONBLOCK: opening a FIFO returns at once instead of waiting for a
    // writer; the type check below then refuses it.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    // It may have been replaced since: the open file is checked again.
    std::optional<std::string> content;
    if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && static_cast<std::size_t>(status.st_size) <= maxBytes) {
        std::string bytes;
        char buffer[4096];
        bool failed = false;
        for (;;) {
            const ssize_t got = ::read(fd, buffer, sizeof buffer);
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0)
                failed = true;
            if (got <= 0)
                break;
            bytes.append(buffer, static_cast<std::size_t>(got));
            if (bytes.size() > maxBytes) {
                failed = true;  // it grew while being read
                break;
            }
        }
        if (!failed)
            content = std::move(bytes);
    }
    ::close(fd);
    return content;
}

}  // namespace files
