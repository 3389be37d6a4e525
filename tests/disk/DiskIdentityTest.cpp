#include "FleetFixture.h"

#include "disk/simulated/AtaSectors.h"
#include "disk/simulated/NvmeData.h"
#include "disk/simulated/DeviceLog.h"
#include "disk/NvmeCommands.h"
#include "disk/simulated/Sha256.h"
#include "disk/DevicePath.h"
#include "disk/DiskIdentity.h"
#include "disk/DiskList.h"
#include "disk/StorageBackend.h"
#include "disk/PassThrough.h"

#include <chrono>
#include <cstring>
#include <fstream>
#include <vector>

namespace {

constexpr unsigned long long kGiB = 1ull << 30;


const std::string kAttributes =
    ", \"smart\": {\"attributes\": [{\"id\": 9, \"value\": 100, \"raw\": \"2C 01 00 00 00 00\", \"threshold\": 0},"
    " {\"id\": 231, \"value\": 97, \"worst\": 96, \"threshold\": 10, \"driveLimit\": 4096}]}";

struct Identity {
    int result;
    char block[kIdentityBlockLength];
    uint8_t isMakerDisk;
    uint8_t smartData[kSmartDataLength];
    uint8_t smartThreshold[kSectorSize];
    std::string serial() const { return block; }
    std::string model() const { return block + kTextLength; }
    std::string firmware() const { return block + 2 * kTextLength; }
};

class DiskIdentityTest : public FleetTest {
protected:
    void machine(const std::string& drives)
    {
        install("{\"drives\": [" + driveJson(0, 256 * kGiB, volumeJson('C', kGiB, 0)) + ", " + drives + "]}");
    }
    Identity read(int diskNum, uint8_t makerPreset = 0, NvmeHealthAnswer* nvme = nullptr)
    {
        Identity id{};
        std::memset(id.block, 'x', sizeof id.block);
        id.isMakerDisk = makerPreset;
        id.result = GetPhyDiskInfo(diskNum, id.block, id.isMakerDisk, id.smartData, id.smartThreshold, nvme);
        return id;
    }
};

TEST_F(DiskIdentityTest, SataAndUsbDrivesAnswerOverTheirOwnRoute)
{
    machine(driveJson(1, kGiB, "", identityJson("  S3Z9NB0K  ", "QYD-M7A0-512G", "FW0428c") + kAttributes) + ", " +
            driveJson(2, kGiB, "", ", \"bus\": \"usb\"" + identityJson("USB123", "Bridge Disk", "1.0") + kAttributes) +
            ", " + driveJson(3, kGiB, "", ", \"bus\": \"scsi\"" + identityJson("N1", "Other Bus", "2")));
    const Identity sata = read(1);
    EXPECT_EQ(sata.result, kIdentityOk);
    EXPECT_EQ(sata.serial(), "S3Z9NB0K");
    EXPECT_EQ(sata.model(), "QYD-M7A0-512G");
    EXPECT_EQ(sata.firmware(), "FW0428c");
    EXPECT_EQ(sata.isMakerDisk, 1);
    EXPECT_EQ(sata.smartData[2], 9);
    EXPECT_EQ(sata.smartData[2 + 5], 0x2C);
    EXPECT_EQ(sata.smartData[2 + 6], 0x01);
    EXPECT_EQ(sata.smartThreshold[2 + 12], 231);
    EXPECT_EQ(sata.smartThreshold[2 + 12 + 1], 10);
    EXPECT_EQ(sata.smartThreshold[2 + 12 + 2], 0x00);
    EXPECT_EQ(sata.smartThreshold[2 + 12 + 3], 0x10) << "drive limit 4096, least significant byte first";

    const Identity usb = read(2);
    EXPECT_EQ(usb.result, kIdentityOk);
    EXPECT_EQ(usb.model(), "Bridge Disk");
    EXPECT_EQ(usb.smartData[2], 9);
    EXPECT_EQ(usb.isMakerDisk, 0);

    EXPECT_EQ(read(3).model(), "Other Bus") << "any other bus takes the ATA route";
    EXPECT_EQ(sim().openHandles(), 0u);
}

TEST_F(DiskIdentityTest, MakerRules)
{
    struct Case { const char* model; bool marker; bool maker; };
    const Case cases[] = {
        {"QY-M7A0-120G", false, true},       {"M7A0 QX drive", false, true},   {"SSD QY 256 M7A0X", false, true},
        {"M7A0-120G", false, false},         {"QY-M7B0-PNDX240G", false, false}, {"qy-m7a0-120g", false, false},
        {"Qy-M7A0-120G", false, false},      {"Other-M7B0-XX", true, true},     {"", true, true},
    };
    std::string drives;
    int number = 1;
    for (const auto& c : cases) {
        const std::string smart = c.marker ? ", \"smart\": {\"marker\": true}" : "";
        if (number > 1)
            drives += ", ";
        drives += driveJson(number++, kGiB, "", identityJson("S", c.model, "F") + smart);
    }
    machine(drives);
    for (int i = 0; i < static_cast<int>(std::size(cases)); ++i)
        EXPECT_EQ(read(i + 1).isMakerDisk, cases[i].maker ? 1 : 0) << cases[i].model;
}

TEST_F(DiskIdentityTest, TheMakerFlagIsOnlyEverSet)
{
    machine(driveJson(1, kGiB, "", identityJson("S", "Plain", "F")));
    EXPECT_EQ(read(1, 1).isMakerDisk, 1);
}

TEST_F(DiskIdentityTest, AtaTextTrimsWhiteSpaceAndEndsAtTheFirstNul)
{
    Sector sector{};
    auto put = [&](int firstWord, const std::string& text) {
        for (size_t i = 0; i < text.size(); i += 2) {
            sector[2 * firstWord + i + 1] = static_cast<uint8_t>(text[i]);
            sector[2 * firstWord + i] = static_cast<uint8_t>(i + 1 < text.size() ? text[i + 1] : ' ');
        }
    };
    struct Case { std::string field; std::string text; };
    const Case cases[] = {
        {"  ABCD1234          ", "ABCD1234"},
        {std::string(20, ' '), ""},
        {"\t\xA0\x85 X Y\r\n\v\f  ", "X Y"},
        {std::string("AB\0CD", 5) + std::string(15, ' '), "AB"},
        {std::string("\0\0ZZ", 4) + std::string(16, ' '), ""},
        {"\xE9t\xE9           ", "\xE9t\xE9"},
    };
    for (const auto& c : cases) {
        put(10, c.field);
        EXPECT_EQ(AtaText(sector.data(), 10, 19), c.text) << c.field;
    }
}

TEST_F(DiskIdentityTest, FailuresAndTheirCodes)
{
    machine(driveJson(1, kGiB, "", ", \"faults\": [\"busType\"]" + identityJson("S", "M", "F")) + ", " +
            driveJson(2, kGiB, "", ", \"bus\": \"usb\", \"faults\": [\"identify\"], \"smart\": {\"marker\": true}") +
            ", " + driveJson(3, kGiB, "", ", \"faults\": [\"identify\"]") + ", " +
            driveJson(4, kGiB, "", ", \"bus\": \"scsi\", \"faults\": [\"identify\"]") + ", " +
            driveJson(5, kGiB, "", ", \"faults\": [\"smart\"]" + identityJson("S5", "NoSmart", "F")) + ", " +
            driveJson(6, kGiB, "", identityJson("S6", "Sixth", "F") + kAttributes + ", \"failCommand\": 2"));

    const Identity noBus = read(1);
    EXPECT_EQ(noBus.result, kIdentityNoBusType);
    EXPECT_EQ(noBus.block[0], 'x') << "the caller's outputs stay untouched";

    const Identity usb = read(2);
    EXPECT_EQ(usb.result, kIdentityFailedUsb);
    EXPECT_EQ(usb.serial(), "");
    EXPECT_EQ(usb.model(), "");
    EXPECT_EQ(usb.firmware(), "");
    EXPECT_EQ(usb.isMakerDisk, 1) << "the SMART marker is still read";

    EXPECT_EQ(read(3).result, kIdentityFailedSata);
    EXPECT_EQ(read(4).result, kIdentityFailedOther);

    const Identity noSmart = read(5);
    EXPECT_EQ(noSmart.result, kIdentityOk);
    EXPECT_EQ(noSmart.model(), "NoSmart");
    const uint8_t zeros[kSectorSize] = {};
    EXPECT_EQ(std::memcmp(noSmart.smartData, zeros, kSmartDataLength), 0);
    EXPECT_EQ(std::memcmp(noSmart.smartThreshold, zeros, kSectorSize), 0);

    const Identity secondFails = read(6);
    EXPECT_EQ(secondFails.result, kIdentityOk);
    EXPECT_EQ(std::memcmp(secondFails.smartData, zeros, kSmartDataLength), 0) << "SMART READ DATA was aborted";
    EXPECT_EQ(secondFails.smartThreshold[2], 9) << "the thresholds still arrive";
}

TEST_F(DiskIdentityTest, ABridgeThatAddsSenseDataFailsEveryCommand)
{
    machine(driveJson(1, kGiB, "", ", \"bus\": \"usb\", \"faults\": [\"senseOnSuccess\"]" +
                                       identityJson("S", "QX-M7A0-256G", "F") + kAttributes));
    const Identity id = read(1);
    EXPECT_EQ(id.result, kIdentityFailedUsb);
    EXPECT_EQ(id.model(), "");
    EXPECT_EQ(id.smartData[2], 0) << "the data arrived, but sense data makes it a failure";
}

TEST_F(DiskIdentityTest, TheWrongRouteFails)
{
    machine(driveJson(1, kGiB, "", identityJson("S", "M", "F")) + ", " +
            driveJson(2, kGiB, "", ", \"bus\": \"usb\"" + identityJson("S", "M", "F")));
    const uint8_t identifyTaskFile[8] = {0x00, 0x01, 0x00, 0x00, 0x00, 0xE0, 0xEC, 0x00};
    const uint8_t identifyCdb[12] = {0xA1, 0x08, 0x0E, 0x00, 0x01, 0x00, 0x00, 0x00, 0xE0, 0xEC, 0x00, 0x00};
    const uint8_t wrongProtocol[12] = {0xA1, 0x0A, 0x0E, 0x00, 0x01, 0x00, 0x00, 0x00, 0xE0, 0xEC, 0x00, 0x00};
    uint8_t sector[kSectorSize];
    EXPECT_TRUE(AtaPassThrough(physicalDrivePath(1), identifyTaskFile, sector, 1, true));
    EXPECT_FALSE(ScsiPassThrough(physicalDrivePath(1), identifyCdb, sector, 1, true));
    EXPECT_FALSE(AtaPassThrough(physicalDrivePath(2), identifyTaskFile, sector, 1, true));
    EXPECT_TRUE(ScsiPassThrough(physicalDrivePath(2), identifyCdb, sector, 1, true));
    EXPECT_FALSE(ScsiPassThrough(physicalDrivePath(2), wrongProtocol, sector, 1, true));
    EXPECT_FALSE(AtaPassThrough(physicalDrivePath(9), identifyTaskFile, sector, 1, true));
    const uint8_t unknownCommand[8] = {0x00, 0x00, 0x00, 0x00, 0x00, 0xE0, 0xFA, 0x00};
    EXPECT_FALSE(AtaPassThrough(physicalDrivePath(1), unknownCommand, sector, 1, true));
}

TEST_F(DiskIdentityTest, ScsiPassThroughClearsADataInBuffer)
{
    machine(driveJson(1, kGiB, "", ", \"bus\": \"usb\", \"faults\": [\"identify\"]"));
    const uint8_t identifyCdb[12] = {0xA1, 0x08, 0x0E, 0x00, 0x01, 0x00, 0x00, 0x00, 0xE0, 0xEC, 0x00, 0x00};
    uint8_t sector[kSectorSize];
    std::memset(sector, 0xEE, sizeof sector);
    EXPECT_FALSE(ScsiPassThrough(physicalDrivePath(1), identifyCdb, sector, 1, true));
    EXPECT_EQ(sector[0], 0);
    EXPECT_EQ(sector[511], 0);
}

TEST_F(DiskIdentityTest, DownloadSegmentsAreRecordedOnBothRoutes)
{
    machine(driveJson(1, kGiB, "", identityJson("S", "M", "F")) + ", " +
            driveJson(2, kGiB, "", ", \"bus\": \"usb\"" + identityJson("S", "M", "F")));
    std::vector<uint8_t> image(8 * kSectorSize);
    for (size_t i = 0; i < image.size(); ++i)
        image[i] = static_cast<uint8_t>(i * 7);
    const uint8_t piece[8] = {0x03, 0x08, 0x00, 0x10, 0x00, 0x00, 0x92, 0x00};
    EXPECT_TRUE(AtaPassThroughOut(physicalDrivePath(1), piece, image.data(), 8));
    const uint8_t cdb[12] = {0xA1, 0x16, 0x06, 0x03, 0x08, 0x00, 0x20, 0x01, 0xE0, 0x92, 0x00, 0x00};
    EXPECT_TRUE(ScsiPassThroughOut(physicalDrivePath(2), cdb, image.data(), 8));
    const uint8_t badFeatures[8] = {0x05, 0x08, 0x00, 0x00, 0x00, 0x00, 0x92, 0x00};
    EXPECT_FALSE(AtaPassThroughOut(physicalDrivePath(1), badFeatures, image.data(), 8));

    const Sha256Digest digest = Sha256(image.data(), image.size());
    const auto& ata = sim().driveState(1).downloads();
    ASSERT_EQ(ata.size(), 1u);
    EXPECT_EQ(ata[0].features, 0x03);
    EXPECT_EQ(ata[0].blockCount, 8);
    EXPECT_EQ(ata[0].offset, 0x10);
    EXPECT_EQ(ata[0].length, image.size());
    EXPECT_EQ(ata[0].sha256, digest);
    EXPECT_EQ(sim().driveState(1).downloadedSample(), image);
    const auto& usb = sim().driveState(2).downloads();
    ASSERT_EQ(usb.size(), 1u);
    EXPECT_EQ(usb[0].offset, 0x0120);
    EXPECT_EQ(usb[0].sha256, digest);
    EXPECT_EQ(sim().driveState(2).downloadedSample(), image);
}

// A drive keeps digests of what it was sent and only its first bytes, so a
// large image costs no more memory than a small one.
TEST_F(DiskIdentityTest, ADownloadIsKeptAsDigestsAndABoundedSample)
{
    machine(driveJson(1, kGiB, "", identityJson("S", "M", "F")));
    constexpr uint16_t kBlocks = 256;  // 128 KiB a command
    std::vector<uint8_t> image(8 * kBlocks * kSectorSize);
    for (size_t i = 0; i < image.size(); ++i)
        image[i] = static_cast<uint8_t>(i * 7 + i / 4099);
    for (uint16_t offset = 0; offset * size_t(kSectorSize) < image.size(); offset += kBlocks) {
        const uint8_t piece[8] = {0x03, 0x00, 0x01, static_cast<uint8_t>(offset), static_cast<uint8_t>(offset >> 8),
                                  0x00, 0x92, 0x00};
        ASSERT_TRUE(AtaPassThroughOut(physicalDrivePath(1), piece, image.data() + offset * kSectorSize, kBlocks));
    }
    const SimulatedDrive& drive = sim().driveState(1);
    ASSERT_EQ(drive.downloads().size(), 8u);
    for (const DownloadSegment& segment : drive.downloads())
        EXPECT_EQ(segment.sha256, Sha256(image.data() + segment.offset * kSectorSize, segment.length))
            << "offset " << segment.offset;
    EXPECT_EQ(drive.downloadedBytes(), image.size());
    EXPECT_EQ(drive.downloadedSha256(), Sha256(image.data(), image.size()));
    EXPECT_EQ(drive.downloadedSample(),
              std::vector<uint8_t>(image.begin(), image.begin() + kDownloadSampleBytes));
}

TEST_F(DiskIdentityTest, RawSectorFilesReadBackExactly)
{
    const std::string dir = testing::TempDir();
    const Sector identify = buildIdentifySector("RAW-SERIAL-01", "QX RAW M7A0 DISK", "R1.2");
    Sector data{}, thresholds{};
    for (size_t i = 0; i < data.size(); ++i) {
        data[i] = static_cast<uint8_t>(i * 13 + 1);
        thresholds[i] = static_cast<uint8_t>(255 - i);
    }
    auto save = [&](const std::string& name, const Sector& sector) {
        std::ofstream(dir + name, std::ios::binary).write(reinterpret_cast<const char*>(sector.data()), 512);
    };
    save("raw-identify.bin", identify);
    save("raw-smart.bin", data);
    save("raw-thresholds.bin", thresholds);
    std::ofstream(dir + "raw-fleet.json")
        << "{\"drives\": [" << driveJson(0, 256 * kGiB, volumeJson('C', kGiB, 0)) << ", "
        << driveJson(1, kGiB, "",
                     ", \"sectors\": {\"identify\": \"raw-identify.bin\", \"smartData\": \"raw-smart.bin\","
                     " \"smartThresholds\": \"raw-thresholds.bin\"}")
        << "]}";
    installStorage(SimulatedStorage::fromFile(dir + "raw-fleet.json"));

    const Identity id = read(1);
    EXPECT_EQ(id.result, kIdentityOk);
    EXPECT_EQ(id.serial(), "RAW-SERIAL-01");
    EXPECT_EQ(id.model(), "QX RAW M7A0 DISK");
    EXPECT_EQ(id.firmware(), "R1.2");
    EXPECT_EQ(id.isMakerDisk, 1);
    EXPECT_EQ(std::memcmp(id.smartData, data.data(), kSmartDataLength), 0);
    EXPECT_EQ(std::memcmp(id.smartThreshold, thresholds.data(), kSectorSize), 0);

    std::ofstream(dir + "short.bin", std::ios::binary) << "too short";
    EXPECT_THROW(parseFleet("{\"drives\": [{\"number\": 1, \"length\": 1, \"sectors\": {\"identify\": \"short.bin\"}}]}",
                            dir),
                 FleetError);
}

TEST_F(DiskIdentityTest, ReadDiskIdentityFillsTheSlotWhateverTheResult)
{
    machine(driveJson(1, kGiB, "", identityJson("S1", "QY-M7A0-120G", "F1")) + ", " +
            driveJson(2, kGiB, "", ", \"faults\": [\"identify\"], \"smart\": {\"marker\": true, \"attributes\": [{\"id\": 12}]}"));
    PhyDiskInfo disks[kMaxDisks];
    int count = 0;
    ASSERT_EQ(ReadDiskList(count, disks), DiskListStatus::Listed);
    ASSERT_EQ(count, 2);
    EXPECT_EQ(ReadDiskIdentity(disks[0]), kIdentityOk);
    EXPECT_EQ(disks[0].valid, 1);
    EXPECT_STREQ(disks[0].serialNumber, "S1");
    EXPECT_STREQ(disks[0].model, "QY-M7A0-120G");
    EXPECT_STREQ(disks[0].firmware, "F1");
    EXPECT_EQ(disks[0].isMakerDisk, 1);

    EXPECT_EQ(ReadDiskIdentity(disks[1]), kIdentityFailedSata);
    EXPECT_EQ(disks[1].valid, 0);
    EXPECT_STREQ(disks[1].model, "");
    EXPECT_EQ(disks[1].isMakerDisk, 1);
    EXPECT_EQ(disks[1].smartData[2], 12);
    EXPECT_EQ(disks[1].isNvme, 0);
    EXPECT_EQ(disks[1].nvmeHealthRead, 0);
}

// An NVMe drive: its health given as fields.
const std::string kHealth =
    ", \"health\": {\"criticalWarning\": 4, \"temperature\": 318, \"availableSpare\": 97, \"spareThreshold\": 10,"
    " \"percentageUsed\": 3, \"dataUnitsRead\": 4096, \"powerOnHours\": \"340282366920938463463374607431768211455\","
    " \"criticalTemperatureTime\": 7, \"temperatureSensors\": [318, 0, 300]}";

std::string nvmeDrive(int number, const std::string& extra)
{
    return driveJson(number, kGiB, "", ", \"bus\": \"nvme\"" + extra);
}

TEST_F(DiskIdentityTest, NvmeDrivesAnswerIdentifyControllerAndTheHealthLog)
{
    machine(nvmeDrive(1, identityJson("  NV-SERIAL-7  ", "QY NVMe M7A0 1TB", "NF1.2") + kHealth) + ", " +
            nvmeDrive(2, identityJson("S", "Other NVMe", "F")));
    NvmeHealthAnswer nvme;
    std::memset(nvme.log, 0xEE, sizeof nvme.log);
    const Identity id = read(1, 0, &nvme);
    EXPECT_EQ(id.result, kIdentityOk);
    EXPECT_EQ(id.serial(), "NV-SERIAL-7") << "trimmed as ATA texts are";
    EXPECT_EQ(id.model(), "QY NVMe M7A0 1TB");
    EXPECT_EQ(id.firmware(), "NF1.2");
    EXPECT_EQ(id.isMakerDisk, 1) << "the model rule holds on every route";
    const uint8_t zeros[kSectorSize] = {};
    EXPECT_EQ(std::memcmp(id.smartData, zeros, kSmartDataLength), 0);
    EXPECT_EQ(std::memcmp(id.smartThreshold, zeros, kSectorSize), 0);
    EXPECT_TRUE(nvme.nvme);
    EXPECT_TRUE(nvme.healthRead);
    NvmeHealthFields fields;
    fields.criticalWarning = 4;
    fields.temperature = 318;
    fields.availableSpare = 97;
    fields.spareThreshold = 10;
    fields.percentageUsed = 3;
    fields.dataUnitsRead[1] = 0x10;
    fields.powerOnHours.fill(0xFF);
    fields.criticalTemperatureTime = 7;
    fields.temperatureSensors = {318, 0, 300};
    const NvmeHealthLog expected = buildNvmeHealthLog(fields);
    EXPECT_EQ(std::memcmp(nvme.log, expected.data(), expected.size()), 0);
    EXPECT_EQ(nvme.log[NvmeHealthLayout::kTemperature], 318 & 0xFF);
    EXPECT_EQ(nvme.log[NvmeHealthLayout::kTemperature + 1], 318 >> 8);
    EXPECT_EQ(read(2).isMakerDisk, 0);

    // Exactly the two commands, nothing over the ATA route.
    const std::vector<uint8_t> identify = NvmeCommandBytes(kNvmeIdentifyController);
    const std::vector<uint8_t> health = NvmeCommandBytes(kNvmeHealthLog);
    ASSERT_EQ(sim().received().size(), 4u);
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(sim().received()[i].route, CommandRoute::Nvme);
        EXPECT_TRUE(sim().received()[i].accepted);
    }
    EXPECT_EQ(sim().received()[0].block, identify);
    EXPECT_EQ(sim().received()[0].length, 4096u);
    EXPECT_EQ(sim().received()[1].block, health);
    EXPECT_EQ(sim().received()[1].length, 512u);
    EXPECT_EQ(health, (std::vector<uint8_t>{0x02, 0xFF, 0xFF, 0xFF, 0xFF, 0x02, 0x00, 0x7F, 0x00, 0, 0, 0, 0, 0, 0, 0,
                                           0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}))
        << "log 02h, 128 dwords, the whole controller";
    EXPECT_EQ(sim().openHandles(), 0u);
}

TEST_F(DiskIdentityTest, NvmeFailuresAndTheirCodes)
{
    machine(nvmeDrive(1, ", \"faults\": [\"identify\"]" + kHealth) + ", " +
            nvmeDrive(2, ", \"faults\": [\"smart\"]" + identityJson("S2", "No Health", "F")) + ", " +
            nvmeDrive(3, identityJson("S3", "Third", "F") + kHealth + ", \"failCommand\": 2") + ", " +
            nvmeDrive(4, ", \"faults\": [\"busType\"]" + identityJson("S4", "M", "F")));
    NvmeHealthAnswer noIdentity;
    const Identity first = read(1, 0, &noIdentity);
    EXPECT_EQ(first.result, kIdentityFailedOther);
    EXPECT_EQ(first.model(), "");
    EXPECT_TRUE(noIdentity.healthRead) << "the health log is read whatever Identify answered";
    EXPECT_EQ(noIdentity.log[NvmeHealthLayout::kAvailableSpare], 97);

    for (int drive : {2, 3}) {
        NvmeHealthAnswer nvme;
        std::memset(nvme.log, 0xEE, sizeof nvme.log);
        const Identity id = read(drive, 0, &nvme);
        EXPECT_EQ(id.result, kIdentityOk) << drive;
        EXPECT_NE(id.model(), "") << drive;
        EXPECT_TRUE(nvme.nvme) << drive;
        EXPECT_FALSE(nvme.healthRead) << drive;
        const uint8_t zeros[kNvmeHealthLength] = {};
        EXPECT_EQ(std::memcmp(nvme.log, zeros, sizeof zeros), 0) << drive;
    }
    NvmeHealthAnswer untouched;
    EXPECT_EQ(read(4, 0, &untouched).result, kIdentityNoBusType);
    EXPECT_FALSE(untouched.nvme);
}

TEST_F(DiskIdentityTest, NvmeAndAtaCommandsFailOnEachOthersDrives)
{
    machine(driveJson(1, kGiB, "", identityJson("S", "M", "F")) + ", " + nvmeDrive(2, identityJson("S", "M", "F")));
    uint8_t data[4096];
    EXPECT_FALSE(NvmeAdminPassThrough(physicalDrivePath(1), kNvmeIdentifyController, data, sizeof data));
    EXPECT_TRUE(NvmeAdminPassThrough(physicalDrivePath(2), kNvmeIdentifyController, data, sizeof data));
    const uint8_t identifyTaskFile[8] = {0x00, 0x01, 0x00, 0x00, 0x00, 0xE0, 0xEC, 0x00};
    EXPECT_FALSE(AtaPassThrough(physicalDrivePath(2), identifyTaskFile, data, 1, true));
    const NvmeAdminCommand identifyNamespace = {0x06, 1, {0x00, 0, 0, 0, 0, 0}};
    EXPECT_FALSE(NvmeAdminPassThrough(physicalDrivePath(2), identifyNamespace, data, sizeof data));
    EXPECT_FALSE(NvmeAdminPassThrough(physicalDrivePath(2), kNvmeHealthLog, data, 4096)) << "4096 bytes of a 512-byte count";
    const NvmeAdminCommand fromOffset = {0x02, 0xFFFFFFFF, {(63u << 16) | 0x02, 0, 256, 0, 0, 0}};
    EXPECT_FALSE(NvmeAdminPassThrough(physicalDrivePath(2), fromOffset, data, 256));
    const NvmeAdminCommand setFeatures = {0x09, 0, {0x02, 0, 0, 0, 0, 0}};
    EXPECT_FALSE(NvmeAdminPassThrough(physicalDrivePath(2), setFeatures, data, 0));
}

TEST_F(DiskIdentityTest, RawNvmeFilesReadBackExactly)
{
    const std::string dir = testing::TempDir();
    NvmeIdentifyData identify = buildNvmeIdentify("RAW-NVME-01", "QX RAW M7A0 NVME", "RN1.0");
    identify[4095] = 0x5A;
    NvmeHealthLog log{};
    for (size_t i = 0; i < log.size(); ++i)
        log[i] = static_cast<uint8_t>(i * 11 + 3);
    auto save = [&](const std::string& name, const uint8_t* bytes, size_t length) {
        std::ofstream(dir + name, std::ios::binary).write(reinterpret_cast<const char*>(bytes), length);
    };
    save("raw-nvme-identify.bin", identify.data(), identify.size());
    save("raw-nvme-health.bin", log.data(), log.size());
    std::ofstream(dir + "raw-nvme-fleet.json")
        << "{\"drives\": [" << driveJson(0, 256 * kGiB, volumeJson('C', kGiB, 0)) << ", "
        << nvmeDrive(1, ", \"sectors\": {\"identify\": \"raw-nvme-identify.bin\", \"healthLog\": \"raw-nvme-health.bin\"}")
        << "]}";
    installStorage(SimulatedStorage::fromFile(dir + "raw-nvme-fleet.json"));

    PhyDiskInfo disks[kMaxDisks];
    int count = 0;
    ASSERT_EQ(ReadDiskList(count, disks), DiskListStatus::Listed);
    ASSERT_EQ(count, 1);
    EXPECT_EQ(ReadDiskIdentity(disks[0]), kIdentityOk);
    EXPECT_EQ(disks[0].valid, 1);
    EXPECT_STREQ(disks[0].serialNumber, "RAW-NVME-01");
    EXPECT_STREQ(disks[0].model, "QX RAW M7A0 NVME");
    EXPECT_STREQ(disks[0].firmware, "RN1.0");
    EXPECT_EQ(disks[0].isMakerDisk, 1);
    EXPECT_EQ(disks[0].isNvme, 1);
    EXPECT_EQ(disks[0].nvmeHealthRead, 1);
    EXPECT_EQ(std::memcmp(disks[0].nvmeHealth, log.data(), log.size()), 0);

    // An Identify file must be 4096 bytes, a log 512, on an NVMe drive.
    for (const char* sectors : {"{\"identify\": \"raw-nvme-health.bin\"}", "{\"healthLog\": \"raw-nvme-identify.bin\"}"}) {
        const std::string fleet = "{\"drives\": [" + nvmeDrive(1, ", \"sectors\": " + std::string(sectors)) + "]}";
        EXPECT_THROW(parseFleet(fleet, dir), FleetError) << sectors;
    }
}

TEST_F(DiskIdentityTest, TheWorldWideNameWhereWord87SaysTheDriveReportsOne)
{
    machine(driveJson(1, kGiB, "",
                      ", \"identity\": {\"serial\": \"S1\", \"model\": \"M\", \"firmware\": \"F\", "
                      "\"wwn\": \"5000C500A1B2C3D4\"}") +
            ", " + driveJson(2, kGiB, "", identityJson("S2", "M", "F")) + ", " +
            driveJson(3, kGiB, "", ", \"bus\": \"usb\", \"identity\": {\"wwn\": \"5001b44e8f9a0b1c\"}"));
    const uint64_t expected[] = {0x5000C500A1B2C3D4ull, 0, 0x5001B44E8F9A0B1Cull};
    for (int drive = 1; drive <= 3; ++drive) {
        PhyDiskInfo disk{};
        disk.diskNum = drive;
        disk.wwn = 99;
        ReadDiskIdentity(disk);
        EXPECT_EQ(disk.wwn, expected[drive - 1]) << drive;
    }
    // Words 108 to 111 hold a name, but word 87 is not valid or does not announce it.
    Sector identify = buildIdentifySector("S", "M", "F", 0x5000C500A1B2C3D4ull);
    EXPECT_EQ(WorldWideName(identify.data()), 0x5000C500A1B2C3D4ull);
    for (uint16_t word87 : {0x0100, 0xC100, 0x4000}) {
        identify[174] = static_cast<uint8_t>(word87 & 0xFF);
        identify[175] = static_cast<uint8_t>(word87 >> 8);
        EXPECT_EQ(WorldWideName(identify.data()), 0u) << word87;
    }
}

// A drive that takes its time (spinning up, a slow bridge) answers every
// command late but the same; the other drives are not held up.
TEST_F(DiskIdentityTest, ACommandDelayHoldsEveryCommandOfThatDriveOnly)
{
    machine(driveJson(1, kGiB, "", identityJson("S1", "Slow", "F") + kAttributes + ", \"delayMs\": 150") + ", " +
            driveJson(2, kGiB, "", identityJson("S2", "Quick", "F") + kAttributes));
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    const Identity slow = read(1);
    const auto slowTime = Clock::now() - start;
    EXPECT_EQ(slow.result, kIdentityOk);
    EXPECT_EQ(slow.model(), "Slow");
    EXPECT_EQ(slow.smartData[2], 9);
    EXPECT_EQ(sim().driveState(1).commandsReceived(), 3);
    EXPECT_GE(slowTime, std::chrono::milliseconds(3 * 150)) << "IDENTIFY and both SMART reads wait";

    const auto quickStart = Clock::now();
    EXPECT_EQ(read(2).result, kIdentityOk);
    EXPECT_LT(Clock::now() - quickStart, std::chrono::milliseconds(150));
}

}  // namespace
