#include "files/SafeFiles.h"

#include <system_error>

namespace files {

bool pathTaken(const std::filesystem::path& path)
{
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::symlink_status(path, error);
    return status.type() != std::filesystem::file_type::not_found && status.type() != std::filesystem::file_type::none;
}

}  // namespace files
