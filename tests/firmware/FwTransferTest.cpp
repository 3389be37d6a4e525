// The update button's whole road on simulated drives: decision, bus query,
// route, the commands each drive received and what the page shows.

#include "FwFixture.h"

#include "disk/DriveWriteLock.h"
#include "disk/simulated/Sha256.h"
#include "firmware/FwImage.h"

namespace {

using FwTransferTest = FwTest;

constexpr const char* kImage = "DCBFCBCC.bin";  // what a 128G model gets

struct StreamCase {
    const char* model;
    const char* bus;
    size_t size;  // bytes of the image file
    std::vector<Segment> stream;
};

const StreamCase kStreams[] = {
    // Exactly one block: a single features-07h command.
    {"QYD-M7A0-128G", "sata", 8 * 512, {{7, 8, 0}}},
    {"QY-128G-M7B0", "sata", 256 * 512, {{7, 256, 0}}},
    {"QYD-M7A0-128G", "sata", 1, {{7, 1, 0}}},
    // One sector more: one piece and the last sector.
    {"QYD-M7A0-128G", "sata", 9 * 512 - 300, {{3, 8, 0}, {3, 1, 8}}},
    {"QY-128G-M7C0", "sata", 256 * 512 + 1, {{3, 256, 0}, {3, 1, 256}}},
    // Whole blocks, a remainder, then the last sector.
    {"QYD-M7A0-128G", "sata", 20 * 512 - 77, {{3, 8, 0}, {3, 8, 8}, {3, 3, 16}, {3, 1, 19}}},
    {"QYD-M7A0-128G", "sata", 17 * 512, {{3, 8, 0}, {3, 8, 8}, {3, 1, 16}}},
    {"QY-128G-M7B0M", "sata", 600 * 512 - 1, {{3, 256, 0}, {3, 256, 256}, {3, 87, 512}, {3, 1, 599}}},
    // Model codes that do not select 256-sector blocks.
    {"QY-128G-M7B0-X", "sata", 20 * 512, {{3, 8, 0}, {3, 8, 8}, {3, 3, 16}, {3, 1, 19}}},
    {"QY-128G-M7B0 ", "sata", 20 * 512, {{3, 8, 0}, {3, 8, 8}, {3, 3, 16}, {3, 1, 19}}},
    // Any bus but USB takes the ATA route.
    {"QY-128G-M7B0", "scsi", 257 * 512, {{3, 256, 0}, {3, 1, 256}}},
    // USB: always 8-sector blocks.
    {"QY-128G-M7B0", "usb", 20 * 512, {{3, 8, 0}, {3, 8, 8}, {3, 3, 16}, {3, 1, 19}}},
    {"QY-128G-M7B0", "usb", 8 * 512, {{7, 8, 0}}},
    {"QY-128G-M7B0", "usb", 9 * 512, {{3, 8, 0}, {3, 1, 8}}},
};

TEST_F(FwTransferTest, EachImageReachesTheDriveInThePrescribedCommands)
{
    for (const StreamCase& c : kStreams) {
        SCOPED_TRACE(std::string(c.model) + " on " + c.bus + ", " + std::to_string(c.size) + " bytes");
        machine(c.bus);
        const auto file = writeImage(kImage, c.size);

        const FwUpdateOutcome outcome = UpdateFirmware(maker(c.model), "0208a", appDir());
        EXPECT_EQ(outcome.kind, FwOutcomeKind::Download);
        EXPECT_EQ(outcome.code, kFwOk);
        EXPECT_EQ(outcome.transfer.sent, static_cast<int>(c.stream.size()));
        EXPECT_EQ(segments(), c.stream);
        EXPECT_TRUE(receivedImage(expectedImage(file)));
        const auto message = FwOutcomeMessage(outcome);
        ASSERT_TRUE(message);
        EXPECT_EQ(message->dialog, FwDialog::Success);
        EXPECT_STREQ(message->text, "固件升级成功");
    }
}

std::vector<std::vector<uint8_t>> commandBytes(const std::vector<ReceivedCommand>& commands)
{
    std::vector<std::vector<uint8_t>> blocks;
    for (const auto& command : commands)
        blocks.push_back(command.block);
    return blocks;
}

TEST_F(FwTransferTest, AtaTaskFilesCarryCountAndOffsetInTheirRegistersAndDevice00)
{
    machine("sata");
    writeImage(kImage, 600 * 512);
    ASSERT_EQ(UpdateFirmware(maker("QY-128G-M7B0"), "0208a", appDir()).code, kFwOk);
    const std::vector<std::vector<uint8_t>> expected = {
        {0x03, 0x00, 0x01, 0x00, 0x00, 0x00, 0x92, 0x00},  // 256 sectors at 0
        {0x03, 0x00, 0x01, 0x00, 0x01, 0x00, 0x92, 0x00},  // 256 at 256
        {0x03, 0x57, 0x00, 0x00, 0x02, 0x00, 0x92, 0x00},  // 87 at 512
        {0x03, 0x01, 0x00, 0x57, 0x02, 0x00, 0x92, 0x00},  // the last sector, 599
    };
    EXPECT_EQ(commandBytes(sim().received()), expected);
    for (const auto& command : sim().received()) {
        EXPECT_EQ(command.route, CommandRoute::Ata);
        EXPECT_EQ(command.direction, DataDirection::Out);
    }
}

TEST_F(FwTransferTest, UsbCommandsAreSatBlocksWithDeviceE0)
{
    machine("usb");
    const auto file = writeImage(kImage, 20 * 512);
    ASSERT_EQ(UpdateFirmware(maker("QY-128G-M7B0"), "0208a", appDir()).code, kFwOk);
    const std::vector<std::vector<uint8_t>> pieces = {
        {0xA1, 0x16, 0x03, 0x03, 0x08, 0x00, 0x00, 0x00, 0xE0, 0x92, 0x00, 0x00},
        {0xA1, 0x16, 0x03, 0x03, 0x08, 0x00, 0x08, 0x00, 0xE0, 0x92, 0x00, 0x00},
        {0xA1, 0x16, 0x03, 0x03, 0x03, 0x00, 0x10, 0x00, 0xE0, 0x92, 0x00, 0x00},
        {0xA1, 0x0A, 0x03, 0x03, 0x01, 0x00, 0x13, 0x00, 0xE0, 0x92, 0x00, 0x00},
    };
    EXPECT_EQ(commandBytes(sim().received()), pieces);
    // The data of each command, as its log line names it.
    const auto image = expectedImage(file);
    const std::pair<size_t, size_t> slices[] = {{0, 8}, {8, 8}, {16, 3}, {19, 1}};
    for (size_t i = 0; i < 4; ++i)
        EXPECT_EQ(sim().received()[i].dataSha256,
                  Sha256Hex(image.data() + slices[i].first * 512, slices[i].second * 512));

    machine("usb");
    writeImage(kImage, 5 * 512);
    ASSERT_EQ(UpdateFirmware(maker("QYD-M7A0-128G"), "0208a", appDir()).code, kFwOk);
    const std::vector<std::vector<uint8_t>> single = {
        {0xA1, 0x0A, 0x03, 0x07, 0x05, 0x00, 0x00, 0x00, 0xE0, 0x92, 0x00, 0x00}};
    EXPECT_EQ(commandBytes(sim().received()), single);
}

TEST_F(FwTransferTest, TheFirstFailingCommandEndsTheTransfer)
{
    for (const char* bus : {"sata", "usb"}) {
        for (int k = 1; k <= 4; ++k) {
            SCOPED_TRACE(std::string(bus) + ", command " + std::to_string(k) + " fails");
            machine(bus, ", \"failCommand\": " + std::to_string(k));
            const auto file = writeImage(kImage, 20 * 512);
            const FwUpdateOutcome outcome = UpdateFirmware(maker("QYD-M7A0-128G"), "0208a", appDir());
            EXPECT_EQ(outcome.code, kFwCommandFailed);
            EXPECT_EQ(outcome.transfer.sent, k);
            EXPECT_EQ(outcome.transfer.planned, 4);
            ASSERT_EQ(sim().received().size(), static_cast<size_t>(k)) << "nothing sent after the failure";
            EXPECT_FALSE(sim().received().back().accepted);
            const std::vector<Segment> all = {{3, 8, 0}, {3, 8, 8}, {3, 3, 16}, {3, 1, 19}};
            EXPECT_EQ(segments(), std::vector<Segment>(all.begin(), all.begin() + k - 1));
            EXPECT_STREQ(FwOutcomeMessage(outcome)->text, "固件升级命令交互出错");
        }
    }
}

// Progress is told before the first command and after each one, with the
// drive's count of commands received in step; a failing command is counted
// and is the last report.
TEST_F(FwTransferTest, ProgressCountsTheCommandsAsTheyReachTheDrive)
{
    const struct {
        const char* bus;
        const char* extra;
        int code;
        std::vector<std::pair<int, int>> reports;  // sent, planned
    } cases[] = {
        {"sata", "", kFwOk, {{0, 4}, {1, 4}, {2, 4}, {3, 4}, {4, 4}}},
        {"usb", "", kFwOk, {{0, 4}, {1, 4}, {2, 4}, {3, 4}, {4, 4}}},
        {"sata", ", \"failCommand\": 2", kFwCommandFailed, {{0, 4}, {1, 4}, {2, 4}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.bus) + c.extra);
        machine(c.bus, c.extra);
        writeImage(kImage, 20 * 512);
        std::vector<std::pair<int, int>> reports;
        const FwUpdateOutcome outcome =
            SendFwUpdate(maker("QYD-M7A0-128G"), DecideFwUpdate(maker("QYD-M7A0-128G"), "0208a", appDir()),
                         [&](const FwTransfer& transfer) {
                             EXPECT_EQ(static_cast<int>(sim().received().size()), transfer.sent);
                             reports.emplace_back(transfer.sent, transfer.planned);
                         });
        EXPECT_EQ(outcome.code, c.code);
        EXPECT_EQ(reports, c.reports);
    }

    // An image that cannot be prepared plans nothing and reports nothing.
    machine("sata");
    fs::remove(imageFile(kImage));
    int calls = 0;
    EXPECT_EQ(DownloadFwAta(false, 1, imageFile(kImage).string(), nullptr, nullptr,
                            [&](const FwTransfer&) { ++calls; }),
              kFwSizeZero);
    EXPECT_EQ(calls, 0);
}

TEST_F(FwTransferTest, ATransferStopsWhenItsDriveNumberComesToNameAnotherDrive)
{
    for (const char* bus : {"sata", "usb"}) {
        SCOPED_TRACE(bus);
        install(std::string("{\"drives\": [") +
                driveJson(1, 256ull << 30, "", std::string(", \"bus\": \"") + bus + "\"" + identityJson("OLD1", "QY-M7A0-128G", "0208a")) +
                "]}");
        writeImage(kImage, 20 * 512);
        const FleetDrive replacement = parseFleet(std::string("{\"drives\": [") +
            driveJson(1, 256ull << 30, "", std::string(", \"bus\": \"") + bus + "\"" + identityJson("NEW2", "QY-M7A0-128G", "0208a")) +
            "]}").drives.front();
        // The drive is swapped for another one after the second command.
        sim().afterEachCommand([&] {
            if (sim().received().size() == 2)
                sim().fleet().drives.front() = replacement;
        });
        const FwUpdateOutcome outcome = UpdateFirmware(maker("QYD-M7A0-128G"), "0208a", appDir());
        sim().afterEachCommand(nullptr);
        EXPECT_EQ(outcome.code, kFwCommandFailed);
        EXPECT_EQ(outcome.transfer.sent, 2) << "the third command never left";
        EXPECT_EQ(sim().received().size(), 2u) << "nothing reaches the drive put in its place";
        EXPECT_STREQ(FwOutcomeMessage(outcome)->text, "固件升级命令交互出错");
    }
}

TEST_F(FwTransferTest, ARecordOfAnotherDriveSendsNothing)
{
    machine("sata");
    writeImage(kImage, 20 * 512);
    FwUpdateState state = maker("QYD-M7A0-128G");
    state.device = {1, 12345};  // read from the drive once under this number, gone since
    testing::internal::CaptureStderr();
    const FwUpdateOutcome outcome = UpdateFirmware(state, "0208a", appDir());
    EXPECT_NE(testing::internal::GetCapturedStderr().find("not the device it was"), std::string::npos);
    EXPECT_EQ(outcome.kind, FwOutcomeKind::DriveChanged);
    EXPECT_STREQ(FwOutcomeMessage(outcome)->text, kFwDriveChangedText);
    EXPECT_EQ(outcome.transfer.planned, 0) << "not even the image was prepared";
    EXPECT_TRUE(sim().received().empty());
}

TEST_F(FwTransferTest, ASecondWriterIsRefusedBeforeItSendsAnything)
{
    machine("sata");
    writeImage(kImage, 20 * 512);
    {
        const DriveWriteLock first(1, DeviceIdentity{});
        ASSERT_EQ(first.state(), DriveWriteLock::State::Held);
        const FwUpdateOutcome second = UpdateFirmware(maker("QYD-M7A0-128G"), "0208a", appDir());
        EXPECT_EQ(second.kind, FwOutcomeKind::Busy);
        EXPECT_EQ(FwOutcomeMessage(second)->dialog, FwDialog::Notice);
        EXPECT_STREQ(FwOutcomeMessage(second)->text, kFwBusyText);
        EXPECT_TRUE(sim().received().empty());
    }
    EXPECT_EQ(UpdateFirmware(maker("QYD-M7A0-128G"), "0208a", appDir()).code, kFwOk) << "the lock ends with its writer";
    EXPECT_EQ(sim().openHandles(), 0u);
}

TEST_F(FwTransferTest, NoDeviceIsTouchedWhenNoUpdateIsDue)
{
    machine("sata");
    writeImage(kImage, 20 * 512);
    const struct {
        const char* what;
        FwUpdateState state;
        const char* revision;
    } cases[] = {
        {"before any record", FwUpdateState{}, "N/A"},
        {"not the maker's drive", {1, "QYD-M7A0-128G", false}, "0208a"},
        {"latest revision", maker("QYD-M7A0-128G"), "0428C"},
        {"capacity in lower case", maker("QYD-M7A0-128g"), "0208a"},
    };
    for (const auto& c : cases) {
        const FwUpdateOutcome outcome = UpdateFirmware(c.state, c.revision, appDir());
        EXPECT_EQ(outcome.kind, FwOutcomeKind::Latest) << c.what;
        EXPECT_STREQ(FwOutcomeMessage(outcome)->text, "已是最新版本无需升级") << c.what;
    }
    EXPECT_TRUE(sim().openLog().empty());

    FwUpdateState nvme = maker("QYD-M7A0-128G");
    nvme.nvme = true;
    const FwUpdateOutcome outcome = UpdateFirmware(nvme, "0208a", appDir());
    EXPECT_EQ(outcome.kind, FwOutcomeKind::NotForNvme);
    EXPECT_STREQ(FwOutcomeMessage(outcome)->text, "NVMe硬盘不支持固件升级");
    EXPECT_TRUE(sim().openLog().empty());
}

// The system disk is sent nothing, also with a decision made for another
// disk's state: the drive is not even opened.
TEST_F(FwTransferTest, TheSystemDiskIsSentNothing)
{
    machine("sata");
    writeImage(kImage, 20 * 512);
    FwUpdateState system = maker("QYD-M7A0-128G");
    system.systemDisk = true;
    FwUpdateState other = maker("QYD-M7A0-128G");
    const FirmwareDecision due = DecideFwUpdate(other, "0208a", appDir());
    ASSERT_FALSE(due.latest);
    for (const FwUpdateOutcome& outcome : {UpdateFirmware(system, "0208a", appDir()), SendFwUpdate(system, due)}) {
        EXPECT_EQ(outcome.kind, FwOutcomeKind::NotForSystemDisk);
        EXPECT_STREQ(FwOutcomeMessage(outcome)->text, "此磁盘是系统盘，不能升级固件，没有发送任何数据");
    }
    EXPECT_TRUE(sim().openLog().empty());
}

TEST_F(FwTransferTest, AFailedBusQueryEndsSilently)
{
    machine("sata", ", \"faults\": [\"busType\"]");
    writeImage(kImage, 20 * 512);
    const FwUpdateOutcome outcome = UpdateFirmware(maker("QYD-M7A0-128G"), "0208a", appDir());
    EXPECT_EQ(outcome.kind, FwOutcomeKind::NoBusType);
    EXPECT_FALSE(FwOutcomeMessage(outcome));
    EXPECT_TRUE(sim().received().empty());
}

TEST_F(FwTransferTest, ImagesThatCannotBeSentSendNothing)
{
    for (const char* bus : {"sata", "usb"}) {
        SCOPED_TRACE(bus);
        machine(bus);
        fs::remove(imageFile(kImage));
        FwUpdateOutcome outcome = UpdateFirmware(maker("QYD-M7A0-128G"), "0208a", appDir());
        EXPECT_EQ(outcome.code, kFwSizeZero);
        EXPECT_STREQ(FwOutcomeMessage(outcome)->text, "升级文件大小为0");

        // One sector beyond what the 16-bit offsets reach.
        std::ofstream(imageFile(kImage)).put('\x01');
        fs::resize_file(imageFile(kImage), (kFwMaxSectors + 1) * 512ull);
        outcome = UpdateFirmware(maker("QY-128G-M7B0"), "0208a", appDir());
        EXPECT_EQ(outcome.code, kFwTooLarge);
        EXPECT_EQ(FwOutcomeMessage(outcome)->dialog, FwDialog::Notice);
        EXPECT_STREQ(FwOutcomeMessage(outcome)->text, "升级文件过大");
        EXPECT_TRUE(sim().received().empty());
    }
}

TEST_F(FwTransferTest, TheLargestImageEndsAtOffset65535)
{
    machine("sata");
    std::ofstream(imageFile(kImage)).put('\x01');
    fs::resize_file(imageFile(kImage), kFwMaxSectors * 512ull);
    const FwUpdateOutcome outcome = UpdateFirmware(maker("QY-128G-M7B0"), "0208a", appDir());
    ASSERT_EQ(outcome.code, kFwOk);
    const auto stream = segments();
    ASSERT_EQ(stream.size(), 257u);
    EXPECT_EQ(stream[254], Segment(3, 256, 254 * 256));
    EXPECT_EQ(stream[255], Segment(3, 255, 255 * 256));
    EXPECT_EQ(stream[256], Segment(3, 1, 65535));
}

TEST_F(FwTransferTest, DownloadsNeedAnImagePath)
{
    machine("sata");
    EXPECT_EQ(DownloadFwAta(false, 1, ""), kFwPathEmpty);
    EXPECT_EQ(DownloadFwUsb(1, ""), kFwPathEmpty);
    EXPECT_TRUE(sim().received().empty());
}

}  // namespace
