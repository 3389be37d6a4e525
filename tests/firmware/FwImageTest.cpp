// Reading and patching an image: padding, tag, checksum, and the codes of the
// files that cannot be sent.

#include "FwFixture.h"

#include "firmware/FwImage.h"
#include "firmware/FwResult.h"

namespace {

using FwImageTest = FwTest;

TEST_F(FwImageTest, ChecksumWorkedOutByHand)
{
    std::ofstream(imageFile("a.bin"), std::ios::binary) << std::string(600, '\x01');
    FwImage image;
    ASSERT_EQ(PrepareFwImage(imageFile("a.bin").string(), image), kFwOk);
    EXPECT_EQ(image.size, 600u);
    ASSERT_EQ(image.sectors(), 2u);

    // Bytes 0 … 597: 590 ones and the tag (477) sum to 1067 = 43 mod 256.
    EXPECT_EQ(CalcCheckSum(image.buffer.data(), 600), 43);
    std::vector<uint8_t> expected(1024, 0);
    std::fill(expected.begin(), expected.begin() + 600, 0x01);
    const std::string tag = "1H0702c8";
    std::copy(tag.begin(), tag.end(), expected.begin() + 142);
    expected[599] = 256 - 43;  // byte 598 keeps its one
    EXPECT_EQ(image.buffer, expected);
}

TEST_F(FwImageTest, PaddedTaggedAndSummedOverTheFilesOwnLength)
{
    // Files ending before, inside and after the tag, and around whole sectors.
    for (size_t size : {1, 2, 3, 145, 149, 150, 511, 512, 513, 1000, 1024}) {
        SCOPED_TRACE(size);
        const auto file = writeImage("a.bin", size);
        FwImage image;
        ASSERT_EQ(PrepareFwImage(imageFile("a.bin").string(), image), kFwOk);
        EXPECT_EQ(image.size, size);
        EXPECT_EQ(image.buffer, expectedImage(file));
        EXPECT_EQ(readFile(imageFile("a.bin")), file) << "the file itself is never changed";
    }
}

TEST_F(FwImageTest, FilesThatCannotBeSent)
{
    std::ofstream(imageFile("empty.bin"));
    const auto tooLarge = imageFile("large.bin");
    std::ofstream(tooLarge).put('\x01');
    fs::resize_file(tooLarge, kFwMaxSectors * 512ull + 1);

    const std::pair<std::string, int> cases[] = {
        {"", kFwPathEmpty},
        {imageFile("missing.bin").string(), kFwSizeZero},
        {imageFile("empty.bin").string(), kFwSizeZero},
        {appDir() + "//FwUpdata", kFwSizeZero},  // a folder has no file size
        {tooLarge.string(), kFwTooLarge},
    };
    for (const auto& [path, code] : cases) {
        FwImage image;
        EXPECT_EQ(PrepareFwImage(path, image), code) << path;
        EXPECT_TRUE(image.buffer.empty()) << path;
    }
}

TEST_F(FwImageTest, TheLargestImageFillsTheOffsetRange)
{
    const auto largest = imageFile("large.bin");
    std::ofstream(largest).put('\x01');
    fs::resize_file(largest, kFwMaxSectors * 512ull);
    FwImage image;
    ASSERT_EQ(PrepareFwImage(largest.string(), image), kFwOk);
    EXPECT_EQ(image.sectors(), 65536u);
    EXPECT_EQ(image.buffer.back(), 256 - (1 + 477) % 256);
}

}  // namespace
