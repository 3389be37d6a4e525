#include "disk/simulated/Sha256.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

std::string hexOf(const std::string& text)
{
    return Sha256Hex(reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

std::vector<uint8_t> counting(size_t length)
{
    std::vector<uint8_t> bytes(length);
    for (size_t i = 0; i < length; ++i)
        bytes[i] = static_cast<uint8_t>(i);
    return bytes;
}

TEST(Sha256, PublishedExamples)
{
    EXPECT_EQ(hexOf(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(hexOf("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(hexOf("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
    EXPECT_EQ(hexOf(std::string(1000000, 'a')),
              "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}

// Lengths around the block size, where the padding spills into a second block.
TEST(Sha256, LengthsAroundTheBlockBoundary)
{
    const std::pair<size_t, const char*> cases[] = {
        {55, "463eb28e72f82e0a96c0a4cc53690c571281131f672aa229e0d45ae59b598b59"},
        {56, "da2ae4d6b36748f2a318f23e7ab1dfdf45acdc9d049bd80e59de82a60895f562"},
        {63, "29af2686fd53374a36b0846694cc342177e428d1647515f078784d69cdb9e488"},
        {64, "fdeab9acf3710362bd2658cdc9a29e8f9c757fcf9811603a8c447cd1d9151108"},
        {65, "4bfd2c8b6f1eec7a2afeb48b934ee4b2694182027e6d0fc075074f2fabb31781"},
        {119, "da18797ed7c3a777f0847f429724a2d8cd5138e6ed2895c3fa1a6d39d18f7ec6"},
        {120, "f52b23db1fbb6ded89ef42a23ce0c8922c45f25c50b568a93bf1c075420bbb7c"},
    };
    for (const auto& [length, digest] : cases) {
        const auto bytes = counting(length);
        EXPECT_EQ(Sha256Hex(bytes.data(), bytes.size()), digest) << length << " bytes";
    }
}

// Pieces of any length, across block boundaries, give the digest of the whole;
// asking for the digest on the way changes nothing.
TEST(Sha256, AStreamInPiecesGivesTheDigestOfTheWhole)
{
    const auto bytes = counting(1000);
    for (size_t piece : {1, 7, 63, 64, 65, 130, 999}) {
        Sha256Stream stream;
        for (size_t at = 0; at < bytes.size(); at += piece) {
            stream.add(bytes.data() + at, std::min(piece, bytes.size() - at));
            if (at + piece >= 500 && at < 500)
                EXPECT_EQ(stream.digest(), Sha256(bytes.data(), std::min(at + piece, bytes.size()))) << piece;
        }
        EXPECT_EQ(stream.digest(), Sha256(bytes.data(), bytes.size())) << piece;
    }
    EXPECT_EQ(Sha256Hex(Sha256Stream().digest()), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
}

}  // namespace
