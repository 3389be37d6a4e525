// The pass-through request blocks as the Windows drivers read them: every
// member at its offset in the structure of this build, everything else zero.

#include "disk/NvmeCommands.h"
#include "disk/PassThrough.h"
#include "disk/PhyDiskInfo.h"
#include "disk/windows/WindowsRequestBlocks.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

// Offsets of the members that sit behind the data-buffer pointer, which is
// 4 bytes long and 4-aligned in a 32-bit build, 8 and 8 in a 64-bit one.
struct AtaLayout {
    size_t size, dataBuffer, previousTaskFile, currentTaskFile;
};
struct ScsiLayout {
    size_t size, dataBuffer, senseInfoOffset, cdb, sense;
};
constexpr bool k64Bit = sizeof(void*) == 8;
constexpr AtaLayout kAta = k64Bit ? AtaLayout{48, 24, 32, 40} : AtaLayout{40, 20, 24, 32};
constexpr ScsiLayout kScsi = k64Bit ? ScsiLayout{56, 24, 32, 36, 56} : ScsiLayout{44, 20, 24, 28, 48};

// A block of bytes written member by member, little-endian.
class Bytes {
public:
    explicit Bytes(size_t size) : bytes_(size, 0) {}
    Bytes& put(size_t offset, uint64_t value, size_t width)
    {
        for (size_t i = 0; i < width; ++i)
            bytes_.at(offset + i) = static_cast<uint8_t>(value >> (8 * i));
        return *this;
    }
    Bytes& put(size_t offset, const uint8_t* data, size_t length)
    {
        for (size_t i = 0; i < length; ++i)
            bytes_.at(offset + i) = data[i];
        return *this;
    }
    Bytes& pointer(size_t offset, const void* p) { return put(offset, reinterpret_cast<uintptr_t>(p), sizeof p); }
    const std::vector<uint8_t>& bytes() const { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
};

template <typename Block>
std::vector<uint8_t> bytesOf(const Block& block)
{
    const auto* first = reinterpret_cast<const uint8_t*>(&block);
    return std::vector<uint8_t>(first, first + sizeof block);
}

// The first offset where two blocks differ, for a readable failure.
::testing::AssertionResult sameBytes(const std::vector<uint8_t>& actual, const std::vector<uint8_t>& expected)
{
    if (actual.size() != expected.size())
        return ::testing::AssertionFailure() << "size " << actual.size() << ", expected " << expected.size();
    for (size_t i = 0; i < actual.size(); ++i)
        if (actual[i] != expected[i])
            return ::testing::AssertionFailure() << "byte " << i << " is " << int(actual[i]) << ", expected "
                                                 << int(expected[i]);
    return ::testing::AssertionSuccess();
}

TEST(WindowsRequestBlocks, StructureSizesOfThisBuild)
{
    EXPECT_EQ(sizeof(ATA_PASS_THROUGH_DIRECT), kAta.size);
    EXPECT_EQ(sizeof(SCSI_PASS_THROUGH_DIRECT), kScsi.size);
    EXPECT_EQ(kSenseOffset, kScsi.sense);
    EXPECT_EQ(sizeof(STORAGE_PROTOCOL_SPECIFIC_DATA), 40u);
    EXPECT_EQ(sizeof(STORAGE_PROTOCOL_DATA_DESCRIPTOR), 48u);
    EXPECT_EQ(kNvmeQueryDataOffset, 48u);
}

TEST(WindowsRequestBlocks, AtaRequestHoldsTheTaskFileFlagsAndTimeout)
{
    struct Case {
        const char* what;
        AtaTaskFile taskFile;
        uint32_t sectors;
        DataDirection direction;
        uint32_t timeout;  // as the wrapper passes it
        uint16_t flags;
        uint32_t seconds;  // as the block must carry it
    };
    const Case cases[] = {
        {"IDENTIFY DEVICE", {0x00, 0x01, 0x00, 0x00, 0x00, 0xE0, 0xEC, 0x00}, 1, DataDirection::In,
         kDataInTimeoutSeconds, 2, 3},
        {"DOWNLOAD MICROCODE", {0x03, 0x08, 0x00, 0x10, 0x00, 0x00, 0x92, 0x00}, 8, DataDirection::Out,
         kAtaDataOutTimeoutSeconds, 4, 10},
        // No data: neither direction flag, no buffer, a drive that is ready.
        {"CHECK POWER MODE", {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xE5, 0x00}, 0, DataDirection::In,
         kDataInTimeoutSeconds, 1, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<uint8_t> buffer(c.sectors * kSectorSize);
        ATA_PASS_THROUGH_DIRECT request;
        std::memset(&request, 0xAA, sizeof request);  // whatever was there before
        fillAtaRequest(request, c.taskFile, buffer.data(), c.sectors * kSectorSize, c.direction, c.timeout);

        Bytes expected(kAta.size);
        expected.put(0, kAta.size, 2)  // Length
            .put(2, c.flags, 2)        // AtaFlags; PathId, TargetId, Lun, ReservedAsUchar stay 0
            .put(8, c.sectors * kSectorSize, 4)
            .put(12, c.seconds, 4)     // ReservedAsUlong (16) stays 0
            .pointer(kAta.dataBuffer, c.sectors ? buffer.data() : nullptr)
            .put(kAta.currentTaskFile, c.taskFile.data(), c.taskFile.size());  // PreviousTaskFile stays 0
        EXPECT_TRUE(sameBytes(bytesOf(request), expected.bytes()));
    }
}

TEST(WindowsRequestBlocks, TheReturnedRegistersAreWhatTheDriverWroteOverTheTaskFile)
{
    ATA_PASS_THROUGH_DIRECT request;
    fillAtaRequest(request, {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xE5, 0x00}, nullptr, 0, DataDirection::In,
                   kDataInTimeoutSeconds);
    // Error, count (CHECK POWER MODE's answer), LBA, device, then the status
    // in the Command byte's place.
    const AtaTaskFile written = {0x00, 0xFF, 0x01, 0x02, 0x03, 0xA0, 0x50, 0x00};
    std::memcpy(reinterpret_cast<uint8_t*>(&request) + kAta.currentTaskFile, written.data(), written.size());
    EXPECT_EQ(returnedTaskFile(request), written);
    EXPECT_EQ(returnedTaskFile(request)[kReturnedStatus], 0x50);
    EXPECT_EQ(returnedTaskFile(request)[kReturnedCount], 0xFF);
}

TEST(WindowsRequestBlocks, SatRequestHoldsTheCdbThenFourZeroBytesAndPointsAtTheSenseArea)
{
    struct Case {
        const char* what;
        SatCdb cdb;
        uint32_t sectors;
        DataDirection direction;
        uint32_t timeout;  // as the wrapper passes it
        uint8_t dataIn;
        uint32_t seconds;  // as the block must carry it
    };
    const Case cases[] = {
        {"SMART READ DATA", {0xA1, 0x08, 0x0E, 0xD0, 0x01, 0x01, 0x4F, 0xC2, 0xA0, 0xB0, 0x00, 0x00}, 1,
         DataDirection::In, kDataInTimeoutSeconds, 1, 3},
        {"DOWNLOAD MICROCODE", {0xA1, 0x0A, 0x06, 0x03, 0x08, 0x00, 0x10, 0x00, 0xA0, 0x92, 0x00, 0x00}, 8,
         DataDirection::Out, kSatDataOutTimeoutSeconds, 0, 5},
        {"CHECK POWER MODE", {0xA1, 0x06, 0x20, 0x00, 0x00, 0x00, 0x00, 0x00, 0xA0, 0xE5, 0x00, 0x00}, 0,
         DataDirection::In, kDataInTimeoutSeconds, 2, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<uint8_t> buffer(c.sectors * kSectorSize);
        ScsiRequest request;
        std::memset(&request, 0xAA, sizeof request);
        fillSatRequest(request, c.cdb, buffer.data(), c.sectors * kSectorSize, c.direction, c.timeout);

        Bytes expected(kScsiRequestSize);
        expected.put(0, kScsi.size, 2)  // Length; ScsiStatus (2) and PathId (3) stay 0
            .put(4, 1, 1)               // TargetId
            .put(6, 12, 1)              // CdbLength; Lun (5) stays 0
            .put(7, 24, 1)              // SenseInfoLength
            .put(8, c.dataIn, 1)
            .put(12, c.sectors * kSectorSize, 4)
            .put(16, c.seconds, 4)
            .pointer(kScsi.dataBuffer, c.sectors ? buffer.data() : nullptr)
            .put(kScsi.senseInfoOffset, kScsi.sense, 4)
            .put(kScsi.cdb, c.cdb.data(), c.cdb.size());  // the 4 bytes after it, and the rest, stay 0
        EXPECT_TRUE(sameBytes(bytesOf(request), expected.bytes()));
    }
}

TEST(WindowsRequestBlocks, SenseIsReadWhereTheRequestPointsTheDriver)
{
    uint8_t sector[kSectorSize];
    ScsiRequest request;
    fillSatRequest(request, {0xA1, 0x08, 0x0E, 0x00, 0x01, 0x00, 0x00, 0x00, 0xE0, 0xEC, 0x00, 0x00}, sector,
                   kSectorSize, DataDirection::In, kDataInTimeoutSeconds);
    EXPECT_EQ(senseData(request), SatSense{});
    // The driver places the sense data at SenseInfoOffset, at most
    // SenseInfoLength bytes: here an ATA Status Return descriptor.
    const uint8_t answer[] = {0x72, 0x01, 0x00, 0x1D, 0, 0, 0, 14, 0x09, 12, 0, 0, 0, 0xFF,
                              0, 0, 0, 0, 0, 0, 0xA0, 0x50, 0x00, 0x00};
    static_assert(sizeof answer == kSenseLength, "the whole sense area");
    std::memcpy(reinterpret_cast<uint8_t*>(&request) + request.header.SenseInfoOffset, answer, sizeof answer);
    SatSense expected{};
    std::copy(std::begin(answer), std::end(answer), expected.begin());
    EXPECT_EQ(senseData(request), expected);
}

// The NVMe query: the property, then the protocol-specific data with the
// command's values in their members, then zeros for the data.
TEST(WindowsRequestBlocks, NvmeQueriesCarryTheCommandInTheProtocolSpecificData)
{
    struct Case {
        const char* what;
        NvmeAdminCommand command;
        uint32_t length;
        uint32_t property, dataType, requestValue, subValue, subValue2;
    };
    const Case cases[] = {
        {"Identify Controller", kNvmeIdentifyController, 4096, 49, 1, 1, 0, 0},
        {"SMART / Health Information", kNvmeHealthLog, 512, 50, 2, 2, 0, 0},
        {"a log page from an offset", {0x02, 0xFFFFFFFF, {(31u << 16) | 0x03, 0, 0x200, 1, 0, 0}}, 128, 50, 2, 3,
         0x200, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<uint8_t> query(7, 0xAA);  // whatever was there before
        ASSERT_TRUE(fillNvmeQuery(query, c.command, c.length));
        Bytes expected(48 + c.length);
        expected.put(0, c.property, 4)  // PropertyId; QueryType (4) PropertyStandardQuery, 0
            .put(8, 3, 4)               // ProtocolTypeNvme
            .put(12, c.dataType, 4)
            .put(16, c.requestValue, 4)
            .put(20, c.subValue, 4)
            .put(24, 40, 4)             // ProtocolDataOffset: the data follows the structure
            .put(28, c.length, 4)       // FixedProtocolReturnData (32) stays 0
            .put(36, c.subValue2, 4);   // SubValue3 and 4 stay 0, and the data
        EXPECT_TRUE(sameBytes(query, expected.bytes()));
    }
}

TEST(WindowsRequestBlocks, NvmeCommandsWithoutAFormInTheQueryAreNotQueried)
{
    struct Case {
        const char* what;
        NvmeAdminCommand command;
        uint32_t length;
    };
    const Case cases[] = {
        {"Get Features", {0x0A, 0, {0x02, 0, 0, 0, 0, 0}}, 0},
        {"Identify Namespace", {0x06, 1, {0x00, 0, 0, 0, 0, 0}}, 4096},
        {"Identify Controller of another controller ID", {0x06, 0, {0x00010001, 0, 0, 0, 0, 0}}, 4096},
        {"Identify Controller into 512 bytes", kNvmeIdentifyController, 512},
        {"a log page longer than its dword count", kNvmeHealthLog, 4096},
        {"a log page retaining its event", {0x02, 0xFFFFFFFF, {(127u << 16) | 0x8002, 0, 0, 0, 0, 0}}, 512},
        {"a log page of a UUID", {0x02, 0xFFFFFFFF, {(127u << 16) | 0x02, 0, 0, 0, 1, 0}}, 512},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> query;
        EXPECT_FALSE(fillNvmeQuery(query, c.command, c.length)) << c.what;
    }
}

TEST(WindowsRequestBlocks, NvmeAnswerDataIsTakenOnlyWhereTheDescriptorHoldsItWhole)
{
    // A descriptor (Version and Size 48), its data at the offset it names.
    const auto answer = [](uint32_t version, uint32_t offset, uint32_t length) {
        Bytes bytes(48 + 64 + 512);
        bytes.put(0, version, 4).put(4, 48, 4);           // Version, Size
        bytes.put(8, 3, 4).put(12, 2, 4).put(16, 2, 4);  // NVMe, a log page, log 02h
        bytes.put(24, offset, 4).put(28, length, 4).put(32, 0x1234, 4);  // FixedProtocolReturnData
        return bytes.bytes();
    };
    struct Case {
        const char* what;
        std::vector<uint8_t> answer;
        size_t returned;
        bool read;
        size_t dataOffset;
    };
    const Case cases[] = {
        {"data right after the structure", answer(48, 40, 512), 48 + 512, true, 48},
        {"data further on", answer(48, 104, 512), 48 + 64 + 512, true, 112},
        {"not a descriptor", answer(40, 40, 512), 48 + 512, false, 0},
        {"less data than asked for", answer(48, 40, 511), 48 + 512, false, 0},
        {"data inside the structure", answer(48, 16, 512), 48 + 512, false, 0},
        {"data past what came back", answer(48, 104, 512), 48 + 512, false, 0},
        {"an answer shorter than a descriptor", answer(48, 40, 512), 20, false, 0},
    };
    for (const Case& c : cases) {
        size_t dataOffset = 0;
        uint32_t dword0 = 0;
        EXPECT_EQ(readNvmeAnswer(c.answer, c.returned, 512, dataOffset, dword0), c.read) << c.what;
        if (c.read) {
            EXPECT_EQ(dataOffset, c.dataOffset) << c.what;
            EXPECT_EQ(dword0, 0x1234u) << c.what;
        }
    }
}

}  // namespace
