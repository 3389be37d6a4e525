#pragma once
// A simulated machine and a program folder with firmware images, made afresh
// for each test, and the image a drive must receive, worked out apart from
// the code under test.

#include "FleetFixture.h"

#include "disk/simulated/Sha256.h"
#include "firmware/FwUpdate.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

namespace fs = std::filesystem;

// What one DOWNLOAD MICROCODE command carried: features, block count, offset.
using Segment = std::tuple<int, int, int>;

// The image as it must reach the drive: zero-padded to whole sectors,
// "1H0702c8" at 142, and byte size − 1 making bytes 0 … size − 3 and it sum
// to 0 modulo 256.
inline std::vector<uint8_t> expectedImage(std::vector<uint8_t> file)
{
    const size_t size = file.size();
    file.resize((size + 511) / 512 * 512, 0);
    const std::string tag = "1H0702c8";
    std::copy(tag.begin(), tag.end(), file.begin() + 142);
    unsigned sum = 0;
    for (size_t i = 0; i + 2 < size; ++i)
        sum += file[i];
    file[size - 1] = static_cast<uint8_t>(-sum);
    return file;
}

// Bytes that differ from their neighbours, for image files.
inline std::vector<uint8_t> imageBytes(size_t size)
{
    std::vector<uint8_t> bytes(size);
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<uint8_t>(i * 7 + i / 256 + 3);
    return bytes;
}

inline void writeFile(const fs::path& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline std::vector<uint8_t> readFile(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

class FwTest : public FleetTest {
protected:
    void SetUp() override
    {
        const auto* test = testing::UnitTest::GetInstance()->current_test_info();
        appDir_ = fs::path(testing::TempDir()) / (std::string("fw-app-") + test->test_suite_name() + "." + test->name());
        fs::remove_all(appDir_);
        fs::create_directories(appDir_ / "FwUpdata");
    }
    void TearDown() override
    {
        std::error_code ignored;
        fs::remove_all(appDir_, ignored);
    }

    std::string appDir() const { return appDir_.string(); }
    fs::path imageFile(const std::string& name) const { return appDir_ / "FwUpdata" / name; }

    // An image file of `size` bytes of imageBytes.
    std::vector<uint8_t> writeImage(const std::string& name, size_t size) const
    {
        const auto bytes = imageBytes(size);
        writeFile(imageFile(name), bytes);
        return bytes;
    }

    // Machine with drive 1 on `bus`; `extra` adds fleet keys to the drive.
    void machine(const std::string& bus, const std::string& extra = "")
    {
        install("{\"drives\": [" + driveJson(1, 256ull << 30, "", ", \"bus\": \"" + bus + "\"" + extra) + "]}");
    }

    // The features, counts and offsets drive 1 received, in order.
    std::vector<Segment> segments()
    {
        std::vector<Segment> list;
        for (const auto& s : sim().driveState(1).downloads())
            list.emplace_back(s.features, s.blockCount, s.offset);
        return list;
    }
    // Whether drive 1 received exactly `image`: each command's data is the
    // slice of the image at the command's offset, the slices follow one
    // another from the start to the end, and the whole stream and its first
    // bytes are the image's. The drive keeps digests, not the data.
    testing::AssertionResult receivedImage(const std::vector<uint8_t>& image)
    {
        const SimulatedDrive& drive = sim().driveState(1);
        size_t next = 0;
        for (const auto& s : drive.downloads()) {
            const size_t at = s.offset * 512u;
            if (s.length != s.blockCount * 512u)
                return testing::AssertionFailure() << "offset " << s.offset << " carried " << s.length << " bytes";
            if (at != next || at + s.length > image.size())
                return testing::AssertionFailure() << "offset " << s.offset << " after " << next / 512
                                                   << " sectors of " << image.size() / 512;
            if (s.sha256 != Sha256(image.data() + at, s.length))
                return testing::AssertionFailure() << "the data at offset " << s.offset << " differ from the image";
            next = at + s.length;
        }
        if (next != image.size() || drive.downloadedBytes() != image.size())
            return testing::AssertionFailure() << drive.downloadedBytes() << " bytes received of " << image.size();
        if (drive.downloadedSha256() != Sha256(image.data(), image.size()))
            return testing::AssertionFailure() << "the stream differs from the image";
        const size_t sampled = std::min(image.size(), kDownloadSampleBytes);
        if (drive.downloadedSample() != std::vector<uint8_t>(image.begin(), image.begin() + sampled))
            return testing::AssertionFailure() << "the first bytes differ from the image";
        return testing::AssertionSuccess();
    }

    // A maker's drive 1 with `model`, as the page holds it.
    static FwUpdateState maker(const std::string& model) { return {1, model, true}; }

private:
    fs::path appDir_;
};
