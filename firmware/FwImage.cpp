#include "firmware/FwImage.h"

#include "firmware/FwResult.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <new>
#include <system_error>

namespace fs = std::filesystem;

namespace {

constexpr char kTag[] = "1H0702c8";  // written without its terminator
constexpr size_t kTagOffset = 142;

}  // namespace

uint8_t CalcCheckSum(const uint8_t* bytes, uint64_t length)
{
    uint8_t sum = 0;
    for (uint64_t i = 0; i + 2 < length; ++i)
        sum = static_cast<uint8_t>(sum + bytes[i]);
    return sum;
}

int PrepareFwImage(const std::string& imagePath, FwImage& image)
{
    if (imagePath.empty())
        return kFwPathEmpty;
    const fs::path path = fs::u8path(imagePath);
    // A missing file counts as empty, and so does anything that has no file
    // size: a folder, or a pipe that would never end.
    std::error_code error;
    if (!fs::is_regular_file(fs::status(path, error)))
        return kFwSizeZero;

    std::ifstream file(path, std::ios::binary | std::ios::ate);
    if (!file)
        return kFwOpenFailed;
    // The size of the file opened, so that a file replaced meanwhile cannot
    // lend its size to another one's bytes.
    const std::streamoff end = file.tellg();
    if (end < 0)
        return kFwReadFailed;
    const uint64_t size = static_cast<uint64_t>(end);
    if (size == 0)
        return kFwSizeZero;
    // A longer image would wrap the offsets and overwrite its own start.
    if (size > uint64_t(kFwMaxSectors) * kFwSectorSize)
        return kFwTooLarge;
    const uint64_t sectors = (size + kFwSectorSize - 1) / kFwSectorSize;
    try {
        image.buffer.assign(sectors * kFwSectorSize, 0);
    } catch (const std::bad_alloc&) {
        return kFwNoMemory;
    }
    // Exactly that size, so that the padding stays zero even if the file
    // grows meanwhile; fewer bytes is a failed read (an I/O error reads as
    // an early end).
    file.seekg(0);
    file.read(reinterpret_cast<char*>(image.buffer.data()), static_cast<std::streamsize>(size));
    if (file.bad() || static_cast<uint64_t>(file.gcount()) < size)
        return kFwReadFailed;
    file.close();

    image.size = size;
    std::memcpy(image.buffer.data() + kTagOffset, kTag, sizeof kTag - 1);
    // The checksum byte makes bytes 0 … size − 3 and it sum to 0; byte
    // size − 2 takes no part.
    const uint8_t sum = CalcCheckSum(image.buffer.data(), size);
    image.buffer[size - 1] = static_cast<uint8_t>(256 - sum);
    return kFwOk;
}
