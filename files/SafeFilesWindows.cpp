// Replacing and reading files with Win32 calls: CREATE_NEW makes the new file
// exclusively, MoveFileExW replaces the name itself (a symbolic link is
// replaced, not followed), FILE_FLAG_OPEN_REPARSE_POINT opens a link as the
// link rather than its target.

#include "files/SafeFiles.h"

#include <windows.h>

#include <string>

namespace files {

namespace {

bool writeAll(HANDLE file, const std::string& content)
{
    const char* data = content.data();
    std::size_t left = content.size();
    while (left > 0) {
        const DWORD chunk = left > 0x40000000 ? 0x40000000 : static_cast<DWORD>(left);
        DWORD written = 0;
        if (!WriteFile(file, data, chunk, &written, nullptr))
            return false;
        if (written == 0) {
            SetLastError(ERROR_WRITE_FAULT);
            return false;
        }
        data += written;
        left -= written;
    }
    return true;
}

}  // namespace

bool replaceFile(const std::filesystem::path& path, const std::string& content, std::error_code* error)
{
    // The reason of the first step that failed, taken before any other call.
    DWORD reason = 0;
    const auto step = [&reason](bool done) {
        if (!done && reason == 0)
            reason = GetLastError();
        return done;
    };
    const auto failed = [&] {
        if (error)
            *error = std::error_code(static_cast<int>(reason), std::system_category());
        return false;
    };
    HANDLE file = INVALID_HANDLE_VALUE;
    std::filesystem::path temporary;
    for (unsigned attempt = 0; attempt < 100 && file == INVALID_HANDLE_VALUE; ++attempt) {
        temporary = path;
        temporary.replace_filename(L"." + path.filename().wstring() + L"." + std::to_wstring(GetCurrentProcessId())
                                   + L"." + std::to_wstring(GetTickCount() + attempt));
        file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) {
            step(false);
            return failed();
        }
    }
    if (!step(file != INVALID_HANDLE_VALUE))
        return failed();
    bool done = step(writeAll(file, content)) && step(FlushFileBuffers(file));
    done = step(CloseHandle(file)) && done;
    done = done && step(MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH));
    if (!done) {
        DeleteFileW(temporary.c_str());
        return failed();
    }
    return true;
}

std::optional<std::string> readRegularFile(const std::filesystem::path& path, std::size_t maxBytes)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return std::nullopt;
    std::optional<std::string> content;
    BY_HANDLE_FILE_INFORMATION info{};
    const DWORD notRegular = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE;
    if (GetFileType(file) == FILE_TYPE_DISK && GetFileInformationByHandle(file, &info)
        && (info.dwFileAttributes & notRegular) == 0 && info.nFileSizeHigh == 0 && info.nFileSizeLow <= maxBytes) {
        std::string bytes(info.nFileSizeLow, '\0');
        DWORD got = 0;
        if (bytes.empty() || (ReadFile(file, &bytes[0], info.nFileSizeLow, &got, nullptr) && got == info.nFileSizeLow))
            content = std::move(bytes);
    }
    CloseHandle(file);
    return content;
}

}  // namespace files
