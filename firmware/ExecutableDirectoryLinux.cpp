#include "firmware/ExecutableDirectory.h"

#include <filesystem>
#include <system_error>

std::string ExecutableDirectory()
{
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : program.parent_path().string();
}
