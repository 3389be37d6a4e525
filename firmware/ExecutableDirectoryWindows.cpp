#include "firmware/ExecutableDirectory.h"

#include <windows.h>

#include <filesystem>
#include <vector>

std::string ExecutableDirectory()
{
    std::vector<wchar_t> name(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
        if (length == 0)
            return std::string();
        if (length < name.size())
            return std::filesystem::path(std::wstring(name.data(), length)).parent_path().u8string();
        name.resize(name.size() * 2);  // the name was cut short
    }
}
