#include "disk/simulated/RegularFile.h"

#include <filesystem>
#include <fstream>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// Empty when `path` may be used: a regular file, or (when `mayBeNew`) no
// file at all; otherwise why not.
std::string refusal(const std::string& path, bool mayBeNew)
{
    std::error_code error;
    const fs::file_status status = fs::symlink_status(path, error);
    if (status.type() == fs::file_type::not_found)
        return mayBeNew ? "" : "cannot be read: no such file";
    if (error)
        return error.message();
    if (fs::is_symlink(status))
        return "is a symbolic link";
    if (!fs::is_regular_file(status))
        return "is not a regular file";
    return "";
}

std::string tooLarge(size_t maxBytes)
{
    return "is larger than " + std::to_string(maxBytes) + " bytes";
}

}  // namespace

std::optional<std::string> readRegularFile(const std::string& path, size_t maxBytes, std::string& error)
{
    const std::string refused = refusal(path, false);
    if (!refused.empty()) {
        error = refused;
        return std::nullopt;
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        error = "cannot be read";
        return std::nullopt;
    }
    // One byte beyond the bound tells a file that is too large.
    std::string contents(maxBytes + 1, '\0');
    file.read(contents.data(), static_cast<std::streamsize>(contents.size()));
    if (file.bad()) {
        error = "cannot be read";
        return std::nullopt;
    }
    contents.resize(static_cast<size_t>(file.gcount()));
    if (contents.size() > maxBytes) {
        error = tooLarge(maxBytes);
        return std::nullopt;
    }
    return contents;
}

std::FILE* openRegularFileToAppend(const std::string& path, std::string& error)
{
    error = refusal(path, true);
    if (!error.empty())
        return nullptr;
    std::FILE* file = std::fopen(path.c_str(), "a");
    if (!file)
        error = "cannot be opened for appending";
    return file;
}
