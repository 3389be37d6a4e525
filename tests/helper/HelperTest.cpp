// The privileged helper on a simulated machine: the program's reads and
// firmware updates through it equal the direct ones; an authorisation
// refused leaves an honest empty list; every request that breaks a rule is
// refused and the helper serves on.

#include "ServedHelper.h"

#include "FleetFixture.h"
#include "FwFixture.h"

#include "disk/DiskIdentity.h"
#include "disk/DevicePath.h"
#include "disk/DiskList.h"
#include "disk/DriveWriteLock.h"
#include "disk/IdentityCommands.h"
#include "disk/PowerMode.h"
#include "disk/StorageBackend.h"
#include "disk/helper/HelperProtocol.h"
#include "disk/NvmeCommands.h"
#include "disk/PassThrough.h"

#include <cstring>
#include <unistd.h>

using namespace helper;

namespace {

const std::string kData = QUILLFENCE_SOURCE_DIR "/data/";
constexpr unsigned long long kGiB = 1ull << 30;

// A machine whose backend is the helper client; `machine` is what the
// helpers serve, `direct` the same fleet read without them.
class HelperTest : public FwTest {
protected:
    void serve(const std::string& fleetJson)
    {
        machine_ = std::make_unique<SimulatedStorage>(parseFleet(fleetJson));
        direct_ = std::make_unique<SimulatedStorage>(parseFleet(fleetJson));
        helpers_ = std::make_unique<ServedHelpers>(*machine_);
        auto client = std::make_unique<HelperStorage>(helpers_->starter());
        client_ = client.get();
        installStorage(std::move(client));
    }
    void TearDown() override
    {
        installStorage(nullptr);  // closes the client's sockets: the helpers end
        helpers_.reset();
        FwTest::TearDown();
    }

    std::unique_ptr<SimulatedStorage> machine_, direct_;
    std::unique_ptr<ServedHelpers> helpers_;
    HelperStorage* client_ = nullptr;
};

std::string fleetText(const std::string& file)
{
    std::ifstream in(kData + file);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<PhyDiskInfo> readAll(DiskListStatus& status)
{
    std::vector<PhyDiskInfo> disks(kMaxDisks);
    int count = 0;
    status = ReadDiskList(count, disks.data());
    for (int i = 0; i < count; ++i)
        ReadDiskIdentity(disks[i]);
    disks.resize(count);
    return disks;
}

TEST_F(HelperTest, TheDiskListReadThroughTheHelperIsTheDirectOne)
{
    const std::string fleet = fleetText("demo-fleet.json");
    serve(fleet);
    DiskListStatus status{};
    const auto throughHelper = readAll(status);
    ASSERT_EQ(status, DiskListStatus::Listed);

    installStorage(std::make_unique<SimulatedStorage>(parseFleet(fleet)));
    DiskListStatus directStatus{};
    const auto direct = readAll(directStatus);
    ASSERT_EQ(throughHelper.size(), direct.size());
    ASSERT_GT(direct.size(), 10u);
    for (size_t i = 0; i < direct.size(); ++i)
        EXPECT_EQ(std::memcmp(&throughHelper[i], &direct[i], sizeof(PhyDiskInfo)), 0) << "drive " << direct[i].diskNum;
    EXPECT_EQ(helpers_->started, std::vector<std::string>{kReadMode});
    EXPECT_EQ(machine_->openHandles(), 0u);
}

TEST_F(HelperTest, EveryOperationRoundTrips)
{
    const std::string fleet = "{\"drives\": [" + driveJson(0, 64 * kGiB, volumeJson('C', 60 * kGiB, kGiB)) + ", " +
                              driveJson(1, 128 * kGiB,
                                        volumeJson('D', 100 * kGiB, 7 * kGiB,
                                                   ", \"type\": \"removable\", \"mountPoint\": \"/media/stick\""),
                                        ", \"bus\": \"usb\"" + identityJson("U1", "Stick", "1")) +
                              ", " + driveJson(2, kGiB, "", ", \"faults\": [\"openReadWrite\"]") + ", " +
                              driveJson(3, kGiB, "", ", \"bus\": \"nvme\", \"faults\": [\"smart\"]" +
                                                         identityJson("N3", "NVMe Three", "3")) +
                              "]}";
    serve(fleet);
    StorageControl& viaHelper = storage();
    for (StorageControl* sc : {static_cast<StorageControl*>(direct_.get()), &viaHelper}) {
        SCOPED_TRACE(sc == &viaHelper ? "through the helper" : "direct");
        sc->beginEnumeration();
        std::string system;
        ASSERT_TRUE(sc->systemDirectory(system));
        EXPECT_EQ(system, "C:\\Windows\\system32");
        EXPECT_EQ(sc->logicalDrives(), (1u << 2) | (1u << 3));
        EXPECT_EQ(sc->driveType("D:\\"), DriveType::Removable);
        VolumeSpace space;
        ASSERT_TRUE(sc->diskFreeSpace("D:\\", space));
        EXPECT_EQ(space.availableToCaller, 7 * kGiB);
        EXPECT_EQ(space.total, 100 * kGiB);

        const DeviceHandle volume = sc->open("\\\\.\\D:", AccessMode::ReadWrite);
        uint32_t number = 0;
        ASSERT_TRUE(sc->queryDeviceNumber(volume, number));
        EXPECT_EQ(number, 1u);
        sc->close(volume);

        const DeviceHandle drive = sc->open("\\\\.\\PHYSICALDRIVE1", AccessMode::ReadWriteNoBuffering);
        uint32_t bus = 0;
        int64_t length = 0;
        DeviceIdentity identity{};
        ASSERT_TRUE(sc->queryBusType(drive, bus));
        EXPECT_EQ(bus, kBusTypeUsb);
        ASSERT_TRUE(sc->queryDiskLength(drive, length));
        EXPECT_EQ(length, static_cast<int64_t>(128 * kGiB));
        ASSERT_TRUE(sc->queryDeviceIdentity(drive, identity));
        EXPECT_EQ(identity.device, 1u);
        uint8_t sector[512] = {};
        SatSense sense{};
        sense.fill(0xFF);
        SatCdb identify{};
        std::copy(std::begin(kIdentifyDevice.cdb), std::end(kIdentifyDevice.cdb), identify.begin());
        ASSERT_TRUE(sc->satCommand(drive, identify, sector, 512, DataDirection::In, 3, sense));
        EXPECT_EQ(sense, SatSense{});
        EXPECT_EQ(AtaText(sector, 10, 19), "U1");
        sc->close(drive);

        std::string name;
        ASSERT_TRUE(sc->systemName("\\\\.\\PHYSICALDRIVE1", name));
        EXPECT_EQ(name, "\\\\.\\PHYSICALDRIVE1");
        ASSERT_TRUE(sc->systemName("D:\\", name));
        EXPECT_EQ(name, "/media/stick");
        EXPECT_FALSE(sc->systemName("C:\\", name)) << "a volume without a mount point";
        EXPECT_FALSE(sc->systemName("\\\\.\\PHYSICALDRIVE5", name));
        // NVMe admin commands: the data, and the status of a command the drive fails.
        const DeviceHandle nvme = sc->open("\\\\.\\PHYSICALDRIVE3", AccessMode::ReadWriteNoBuffering);
        std::vector<uint8_t> controller(4096, 0xEE);
        uint16_t status = 0xFFFF;
        uint32_t result = 0xFFFF;
        ASSERT_TRUE(sc->nvmeAdminCommand(nvme, kNvmeIdentifyController, controller.data(), 4096, 3, status, result));
        EXPECT_EQ(status, 0);
        EXPECT_EQ(result, 0u);
        EXPECT_EQ(NvmeText(controller.data(), kNvmeModelOffset, kNvmeModelLength), "NVMe Three");
        uint8_t log[512];
        ASSERT_TRUE(sc->nvmeAdminCommand(nvme, kNvmeHealthLog, log, sizeof log, 3, status, result));
        EXPECT_EQ(status, kNvmeStatusInvalidField) << "the drive's \"smart\" fault";
        sc->close(nvme);

        // Failures keep their number and kind.
        EXPECT_EQ(sc->open("\\\\.\\PHYSICALDRIVE2", AccessMode::ReadWrite), kInvalidHandle);
        EXPECT_EQ(sc->lastFailure(), Failure::AccessDenied);
        EXPECT_EQ(sc->lastError(), SimulatedStorage::kErrorAccessDenied);
        EXPECT_EQ(sc->open("\\\\.\\PHYSICALDRIVE7", AccessMode::ReadWrite), kInvalidHandle);
        EXPECT_EQ(sc->lastError(), SimulatedStorage::kErrorFileNotFound);
    }
}

TEST_F(HelperTest, AFirmwareUpdateGoesThroughAHelperOfItsOwn)
{
    serve("{\"drives\": [" + driveJson(1, 256ull << 30, "", ", \"bus\": \"sata\"") + "]}");
    const auto file = writeImage("DCBFCBCC.bin", 20 * 512);
    const FwUpdateOutcome outcome = UpdateFirmware(maker("QYD-M7A0-128G"), "0208a", appDir());
    EXPECT_EQ(outcome.code, kFwOk);
    EXPECT_EQ(helpers_->started, (std::vector<std::string>{kReadMode, kFirmwareMode}));
    std::vector<std::vector<uint8_t>> blocks;
    for (const auto& command : machine_->received())
        blocks.push_back(command.block);
    const std::vector<std::vector<uint8_t>> expected = {
        {0x03, 0x08, 0x00, 0x00, 0x00, 0x00, 0x92, 0x00}, {0x03, 0x08, 0x00, 0x08, 0x00, 0x00, 0x92, 0x00},
        {0x03, 0x03, 0x00, 0x10, 0x00, 0x00, 0x92, 0x00}, {0x03, 0x01, 0x00, 0x13, 0x00, 0x00, 0x92, 0x00}};
    EXPECT_EQ(blocks, expected);
    EXPECT_EQ(machine_->openHandles(), 0u) << "the writer's helper closed everything";
}

TEST_F(HelperTest, ARefusedAuthorisationIsAskedForAgainOnlyWhenTheUserRetries)
{
    serve("{\"drives\": [" + driveJson(0, kGiB, volumeJson('C', kGiB, 0)) + ", " +
          driveJson(1, kGiB, "", identityJson("S1", "M", "F")) + "]}");
    helpers_->refused = {kReadMode};
    DiskListStatus status{};
    testing::internal::CaptureStderr();
    EXPECT_TRUE(readAll(status).empty());
    EXPECT_EQ(status, DiskListStatus::NotAuthorised);
    readAll(status);
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(status, DiskListStatus::NotAuthorised);
    EXPECT_EQ(helpers_->started.size(), 1u) << "a refusal is not asked again by itself";

    helpers_->refused.clear();
    storage().retryAuthorisation();
    const auto disks = readAll(status);
    EXPECT_EQ(status, DiskListStatus::Listed);
    ASSERT_EQ(disks.size(), 1u);
    EXPECT_STREQ(disks[0].serialNumber, "S1");
}

TEST_F(HelperTest, AnUpdateWhoseAuthorisationIsRefusedSendsNothing)
{
    serve("{\"drives\": [" + driveJson(1, 256ull << 30) + "]}");
    writeImage("DCBFCBCC.bin", 20 * 512);
    helpers_->refused = {kFirmwareMode};
    const FwUpdateOutcome outcome = UpdateFirmware(maker("QYD-M7A0-128G"), "0208a", appDir());
    EXPECT_EQ(outcome.kind, FwOutcomeKind::NotAuthorised);
    EXPECT_STREQ(FwOutcomeMessage(outcome)->text, kFwNotAuthorisedText);
    EXPECT_TRUE(machine_->received().empty());
}

// A disk replaced under a firmware update's lock, and the list read again
// so that its drive number names the new disk: no command reaches the new
// disk, whether the caller names the device it read or not.
TEST_F(HelperTest, ALockedDiskReplacedAndListedAgainReceivesNothing)
{
    serve("{\"drives\": [" + driveJson(0, kGiB, volumeJson('C', kGiB, 0)) + ", " +
          driveJson(1, 256ull << 30, "", identityJson("OLD1", "QY-M7A0-128G", "0208a")) + "]}");
    DiskListStatus status{};
    const auto disks = readAll(status);
    ASSERT_EQ(disks.size(), 1u);
    const DeviceIdentity read = disks[0].device;
    const DriveWriteLock writer(1, read);
    ASSERT_EQ(writer.state(), DriveWriteLock::State::Held);
    EXPECT_EQ(helpers_->started, (std::vector<std::string>{kReadMode, kFirmwareMode}));

    machine_->fleet().drives[1] = parseFleet("{\"drives\": [" +
                                             driveJson(1, 256ull << 30, "", identityJson("NEW2", "QY-M7A0-128G", "0208a")) +
                                             "]}").drives.front();
    const auto again = readAll(status);
    ASSERT_EQ(again.size(), 1u);
    EXPECT_STREQ(again[0].serialNumber, "NEW2") << "drive 1 now names the new disk";
    const size_t readsBefore = machine_->received().size();

    uint8_t piece[8 * 512] = {};
    const AtaTaskFile download = {0x03, 0x08, 0x00, 0x00, 0x00, 0x00, 0x92, 0x00};
    // Named by the device read, the command finds it gone; named by the
    // drive number alone, it goes to the reading helper, which refuses it.
    CommandFailure failure = CommandFailure::None;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(AtaPassThroughOut(physicalDrivePath(1), download.data(), piece, 8, &read, &failure));
    EXPECT_EQ(failure, CommandFailure::NotSent);
    EXPECT_FALSE(AtaPassThroughOut(physicalDrivePath(1), download.data(), piece, 8));
    EXPECT_NE(testing::internal::GetCapturedStderr().find("refused: DOWNLOAD MICROCODE without"), std::string::npos);
    EXPECT_EQ(machine_->received().size(), readsBefore) << "nothing reached the new disk";
}

// The reading helper dies while the client holds handles of it: they fail,
// closing them is safe, and the next operation starts a new helper.
TEST_F(HelperTest, TheClientSurvivesADeadReadingHelper)
{
    serve("{\"drives\": [" + driveJson(0, kGiB, volumeJson('C', kGiB, 0)) + ", " +
          driveJson(1, kGiB, "", identityJson("S1", "M", "F")) + "]}");
    StorageControl& sc = storage();
    sc.beginEnumeration();
    const DeviceHandle drive = sc.open(physicalDrivePath(1), AccessMode::ReadWriteNoBuffering);
    const DeviceHandle volume = sc.open(volumePath('C'), AccessMode::ReadWrite);
    ASSERT_NE(drive, kInvalidHandle);
    ASSERT_NE(volume, kInvalidHandle);
    helpers_->kill(0);

    uint32_t bus = 0;
    EXPECT_FALSE(sc.queryBusType(drive, bus)) << "the helper that opened it is gone";
    sc.close(drive);
    sc.close(volume);
    DiskListStatus status{};
    const auto disks = readAll(status);
    EXPECT_EQ(status, DiskListStatus::Listed);
    ASSERT_EQ(disks.size(), 1u);
    EXPECT_STREQ(disks[0].serialNumber, "S1");
    EXPECT_EQ(helpers_->started, (std::vector<std::string>{kReadMode, kReadMode}));
}

// A drive another program is writing to (its writer's lock held) is read as
// busy: nothing is sent to it, directly or through the helper, and an update
// is refused before it sends anything.
TEST_F(HelperTest, ADriveAnotherProgramWritesToIsBusyAndSentNothing)
{
    const std::string fleet = "{\"drives\": [" + driveJson(0, kGiB, volumeJson('C', kGiB, 0)) + ", " +
                              driveJson(1, 256ull << 30, "", identityJson("S1", "QY-M7A0-128G", "0208a") +
                                                                 ", \"locked\": true") +
                              "]}";
    serve(fleet);
    writeImage("DCBFCBCC.bin", 20 * 512);
    DiskListStatus status{};
    const auto throughHelper = readAll(status);
    ASSERT_EQ(throughHelper.size(), 1u);
    EXPECT_EQ(throughHelper[0].busy, 1);
    EXPECT_EQ(throughHelper[0].valid, 0);
    const FwUpdateOutcome outcome = UpdateFirmware(maker("QYD-M7A0-128G"), "0208a", appDir());
    EXPECT_EQ(outcome.kind, FwOutcomeKind::Busy);
    EXPECT_TRUE(machine_->received().empty());

    SimulatedStorage& direct = install(fleet);
    const auto read = readAll(status);
    ASSERT_EQ(read.size(), 1u);
    EXPECT_EQ(read[0].busy, 1);
    EXPECT_EQ(std::memcmp(&read[0], &throughHelper[0], sizeof(PhyDiskInfo)), 0);
    EXPECT_TRUE(direct.received().empty());
}

// The server itself, request by request.
class HelperServerTest : public FleetTest {
protected:
    void SetUp() override
    {
        install("{\"drives\": [" + driveJson(0, kGiB, volumeJson('C', kGiB, 0)) + ", " +
                driveJson(1, 256ull << 30, "", identityJson("S1", "QY-M7A0-128G", "0208a")) + ", " +
                driveJson(2, kGiB, "", ", \"bus\": \"usb\", \"power\": \"standby\"") + ", " +
                driveJson(3, kGiB, "", ", \"bus\": \"nvme\"" + identityJson("N3", "NVMe", "1")) + "]}");
    }
    // The reply's head: succeeded, or refused.
    static bool succeeded(const std::vector<uint8_t>& reply) { return !reply.empty() && reply[0] == 1; }
    DeviceHandle open(HelperServer& server, const std::string& path)
    {
        const auto reply = server.reply(Writer().u8(uint8_t(Op::Open)).text(path).u8(2).bytes());
        Reader in(reply);
        uint8_t ok = 0, kind = 0;
        uint32_t error = 0;
        int64_t handle = kInvalidHandle;
        in.u8(ok) && in.u32(error) && in.u8(kind) && in.i64(handle);
        return ok ? handle : kInvalidHandle;
    }
    static std::vector<uint8_t> ata(DeviceHandle handle, const AtaTaskFile& t, bool out, uint32_t length,
                                    size_t dataLength)
    {
        const std::vector<uint8_t> data(dataLength, 0x5A);
        return Writer()
            .u8(uint8_t(Op::Ata))
            .i64(handle)
            .raw(t.data(), t.size())
            .u8(out)
            .u32(length)
            .u32(10)
            .data(data.data(), data.size())
            .bytes();
    }
    static std::vector<uint8_t> sat(DeviceHandle handle, const SatCdb& c, bool out, uint32_t length)
    {
        const std::vector<uint8_t> data(out ? length : 0, 0x5A);
        return Writer()
            .u8(uint8_t(Op::Sat))
            .i64(handle)
            .raw(c.data(), c.size())
            .u8(out)
            .u32(length)
            .u32(5)
            .data(data.data(), data.size())
            .bytes();
    }
    static AtaTaskFile checkPowerMode(uint8_t count = 0x00)
    {
        AtaTaskFile t{};
        std::copy(std::begin(kCheckPowerMode.taskFile), std::end(kCheckPowerMode.taskFile), t.begin());
        t[1] = count;
        return t;
    }
    static SatCdb checkPowerModeCdb(uint8_t byte2 = 0x20)
    {
        SatCdb c{};
        std::copy(std::begin(kCheckPowerMode.cdb), std::end(kCheckPowerMode.cdb), c.begin());
        c[2] = byte2;
        return c;
    }
    static std::vector<uint8_t> nvme(DeviceHandle handle, const NvmeAdminCommand& c, uint32_t length)
    {
        Writer request;
        request.u8(uint8_t(Op::Nvme)).i64(handle).u8(c.opcode).u32(c.nsid);
        for (uint32_t dword : c.cdw)
            request.u32(dword);
        return request.u32(length).u32(3).bytes();
    }
    static std::vector<uint8_t> withoutLast(std::vector<uint8_t> bytes, size_t count)
    {
        bytes.resize(bytes.size() - count);
        return bytes;
    }
    static AtaTaskFile identify()
    {
        AtaTaskFile t{};
        std::copy(std::begin(kIdentifyDevice.taskFile), std::end(kIdentifyDevice.taskFile), t.begin());
        return t;
    }
    // A request the server must answer, to show it still serves.
    static bool stillServes(HelperServer& server)
    {
        return succeeded(server.reply(Writer().u8(uint8_t(Op::LogicalDrives)).bytes()));
    }
    // The device drive `number` of the simulated machine is now.
    DeviceIdentity deviceOf(int number)
    {
        const DeviceHandle query = sim().open("\\\\.\\PHYSICALDRIVE" + std::to_string(number), AccessMode::QueryOnly);
        DeviceIdentity device{};
        EXPECT_TRUE(sim().queryDeviceIdentity(query, device));
        sim().close(query);
        return device;
    }
    static std::vector<uint8_t> openDevice(const DeviceIdentity& device)
    {
        return Writer().u8(uint8_t(Op::OpenDevice)).u64(device.device).u64(device.sequence).u8(2).bytes();
    }
    // A firmware helper's handle of `device`; kInvalidHandle when refused.
    static DeviceHandle open(HelperServer& server, const DeviceIdentity& device)
    {
        const auto reply = server.reply(openDevice(device));
        Reader in(reply);
        uint8_t ok = 0, kind = 0;
        uint32_t error = 0;
        int64_t handle = kInvalidHandle;
        in.u8(ok) && in.u32(error) && in.u8(kind) && in.i64(handle);
        return ok ? handle : kInvalidHandle;
    }
    static std::vector<uint8_t> lock(DeviceHandle handle) { return Writer().u8(uint8_t(Op::Lock)).i64(handle).bytes(); }
    static std::vector<uint8_t> close(DeviceHandle handle) { return Writer().u8(uint8_t(Op::Close)).i64(handle).bytes(); }
    // The failure kind of a refused or failed reply.
    static Failure failureOf(const std::vector<uint8_t>& reply)
    {
        Reader in(reply);
        uint8_t ok = 1, kind = 0;
        uint32_t error = 0;
        in.u8(ok) && in.u32(error) && in.u8(kind);
        return static_cast<Failure>(kind);
    }
    static constexpr AtaTaskFile kPiece = {0x03, 0x08, 0x00, 0x00, 0x00, 0x00, 0x92, 0x00};
};

TEST_F(HelperServerTest, RequestsThatBreakARuleAreRefusedAndTheHelperServesOn)
{
    HelperServer server(sim(), HelperServer::Mode::Read);
    const DeviceHandle drive = open(server, "\\\\.\\PHYSICALDRIVE1");
    const DeviceHandle usb = open(server, "\\\\.\\PHYSICALDRIVE2");
    const DeviceHandle volume = open(server, "\\\\.\\C:");
    const DeviceHandle nvmeDrive = open(server, "\\\\.\\PHYSICALDRIVE3");
    ASSERT_NE(drive, kInvalidHandle);
    ASSERT_NE(nvmeDrive, kInvalidHandle);
    ASSERT_NE(volume, kInvalidHandle);
    const AtaTaskFile download = {0x07, 0x01, 0x00, 0x00, 0x00, 0x00, 0x92, 0x00};
    struct Case {
        const char* what;
        std::vector<uint8_t> request;
    };
    const Case cases[] = {
        {"an empty frame", {}},
        {"an unknown operation", {0xEE}},
        {"an open cut short", Writer().u8(uint8_t(Op::Open)).u32(40).bytes()},
        {"a path outside the enumeration's range", Writer().u8(uint8_t(Op::Open)).text("\\\\.\\PHYSICALDRIVE26").u8(0).bytes()},
        {"a path with a leading zero", Writer().u8(uint8_t(Op::Open)).text("\\\\.\\PHYSICALDRIVE01").u8(0).bytes()},
        {"a file path", Writer().u8(uint8_t(Op::Open)).text("/etc/shadow").u8(0).bytes()},
        {"the volume A:", Writer().u8(uint8_t(Op::Open)).text("\\\\.\\A:").u8(0).bytes()},
        {"an unknown open mode", Writer().u8(uint8_t(Op::Open)).text("\\\\.\\PHYSICALDRIVE1").u8(9).bytes()},
        {"a text longer than any path", Writer().u8(uint8_t(Op::Open)).text(std::string(5000, 'x')).u8(0).bytes()},
        {"a handle this helper never gave", Writer().u8(uint8_t(Op::BusType)).i64(12345).bytes()},
        {"bytes after the request", Writer().u8(uint8_t(Op::LogicalDrives)).u8(0).bytes()},
        {"a command not sent by the program (WRITE DMA)",
         ata(drive, {0x00, 0x01, 0x00, 0x00, 0x00, 0xE0, 0xCA, 0x00}, true, 512, 512)},
        {"SMART WRITE LOG", ata(drive, {0xD6, 0x01, 0x80, 0x4F, 0xC2, 0x00, 0xB0, 0x00}, true, 512, 512)},
        {"IDENTIFY with two sectors", ata(drive, identify(), false, 1024, 0)},
        {"IDENTIFY as data out", ata(drive, identify(), true, 512, 512)},
        {"data shorter than the command moves", ata(drive, identify(), false, 512, 100)},
        {"a drive command to a volume", ata(volume, identify(), false, 512, 0)},
        {"DOWNLOAD MICROCODE without the firmware authorisation", ata(drive, download, true, 512, 512)},
        {"a SAT command of another operation code",
         sat(usb, {0x85, 0x08, 0x0E, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00}, false, 512)},
        {"CHECK POWER MODE reading a sector", ata(drive, checkPowerMode(), false, 512, 0)},
        {"CHECK POWER MODE as data out", ata(drive, checkPowerMode(), true, 0, 0)},
        {"CHECK POWER MODE with a sector count", ata(drive, checkPowerMode(0x01), false, 0, 0)},
        {"CHECK POWER MODE through the bridge without CK_COND", sat(usb, checkPowerModeCdb(0x00), false, 0)},
        {"CHECK POWER MODE through the bridge as PIO data-in",
         sat(usb, {0xA1, 0x08, 0x0E, 0x00, 0x01, 0x00, 0x00, 0x00, 0xA0, 0xE5, 0x00, 0x00}, false, 512)},
        {"a writer's lock without the firmware authorisation", lock(drive)},
        {"Identify Namespace", nvme(nvmeDrive, {0x06, 1, {0x00, 0, 0, 0, 0, 0}}, 4096)},
        {"Identify Controller into 512 bytes", nvme(nvmeDrive, kNvmeIdentifyController, 512)},
        {"Identify Controller into 8192 bytes", nvme(nvmeDrive, kNvmeIdentifyController, 8192)},
        {"the health log of one namespace", nvme(nvmeDrive, {0x02, 1, kNvmeHealthLog.cdw}, 512)},
        {"the health log into 4096 bytes", nvme(nvmeDrive, kNvmeHealthLog, 4096)},
        {"another log page (error information)", nvme(nvmeDrive, {0x02, 0xFFFFFFFF, {0x003F0001, 0, 0, 0, 0, 0}}, 256)},
        {"the health log from an offset", nvme(nvmeDrive, {0x02, 0xFFFFFFFF, {0x007F0002, 0, 512, 0, 0, 0}}, 512)},
        {"Set Features (volatile write cache)", nvme(nvmeDrive, {0x09, 0, {0x06, 1, 0, 0, 0, 0}}, 0)},
        {"Format NVM", nvme(nvmeDrive, {0x80, 1, {0, 0, 0, 0, 0, 0}}, 0)},
        {"an NVMe command to a volume", nvme(volume, kNvmeIdentifyController, 4096)},
        {"an NVMe command past any data limit", nvme(nvmeDrive, kNvmeIdentifyController, kMaxCommandData + 1)},
        {"an NVMe command without its time-out", withoutLast(nvme(nvmeDrive, kNvmeIdentifyController, 4096), 4)},
        {"a root path with a folder", Writer().u8(uint8_t(Op::FreeSpace)).text("C:\\Windows").bytes()},
        {"the name of a file", Writer().u8(uint8_t(Op::SystemName)).text("/etc/shadow").bytes()},
        {"the name of a volume path", Writer().u8(uint8_t(Op::SystemName)).text("\\\\.\\C:").bytes()},
        {"the name of a drive outside the enumeration's range",
         Writer().u8(uint8_t(Op::SystemName)).text("\\\\.\\PHYSICALDRIVE26").bytes()},
        {"a name request with bytes after it", Writer().u8(uint8_t(Op::SystemName)).text("C:\\").u8(0).bytes()},
    };
    for (const auto& c : cases) {
        testing::internal::CaptureStderr();
        const auto reply = server.reply(c.request);
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_FALSE(succeeded(reply)) << c.what;
        EXPECT_NE(said.find("refused"), std::string::npos) << c.what;
        EXPECT_TRUE(stillServes(server)) << c.what;
    }
    EXPECT_TRUE(sim().received().empty()) << "nothing refused reached a drive";
    EXPECT_TRUE(succeeded(server.reply(ata(drive, identify(), false, 512, 0))));
    EXPECT_EQ(sim().received().size(), 1u);

    // The two NVMe commands of the identity read pass, their data comes back.
    const auto answer = server.reply(nvme(nvmeDrive, kNvmeIdentifyController, 4096));
    ASSERT_TRUE(succeeded(answer));
    Reader in(answer);
    uint8_t ok = 0, kind = 0;
    uint32_t error = 0, status = 1, result = 1;
    std::vector<uint8_t> data;
    ASSERT_TRUE(in.u8(ok) && in.u32(error) && in.u8(kind) && in.u32(status) && in.u32(result) &&
                in.data(data, kMaxCommandData) && in.finished());
    EXPECT_EQ(status, 0u);
    ASSERT_EQ(data.size(), 4096u);
    EXPECT_EQ(NvmeText(data.data(), kNvmeSerialOffset, kNvmeSerialLength), "N3");
    EXPECT_TRUE(succeeded(server.reply(nvme(nvmeDrive, kNvmeHealthLog, 512))));
    EXPECT_EQ(sim().received().size(), 3u);
}

// CHECK POWER MODE passes, through the bridge too, and the registers that
// carry its answer come back: the returned task file, or the sense data of
// a command with CK_COND.
TEST_F(HelperServerTest, CheckPowerModePassesAndItsAnswerComesBack)
{
    HelperServer server(sim(), HelperServer::Mode::Read);
    const DeviceHandle sata = open(server, "\\\\.\\PHYSICALDRIVE1");
    const DeviceHandle usb = open(server, "\\\\.\\PHYSICALDRIVE2");
    struct Case {
        const char* what;
        std::vector<uint8_t> request;
        size_t answerLength;
        size_t countAt;  // where the answer's sector count lies
        uint8_t count;
    };
    const Case cases[] = {
        {"task file of an active drive", ata(sata, checkPowerMode(), false, 0, 0), 8, kReturnedCount, 0xFF},
        {"SAT to a drive in standby", sat(usb, checkPowerModeCdb(), false, 0), 32, 13, 0x00},
    };
    for (const Case& c : cases) {
        const auto reply = server.reply(c.request);
        ASSERT_TRUE(succeeded(reply)) << c.what;
        Reader in(reply);
        uint8_t ok = 0, kind = 0;
        uint32_t error = 0;
        std::vector<uint8_t> answer(c.answerLength), data;
        ASSERT_TRUE(in.u8(ok) && in.u32(error) && in.u8(kind) && in.raw(answer.data(), answer.size()) &&
                    in.data(data, 0) && in.finished())
            << c.what;
        EXPECT_EQ(answer[c.countAt], c.count) << c.what;
    }
    EXPECT_TRUE(sim().driveState(2).inStandby(sim().fleet().drive(2)->behaviour)) << "asking did not wake it";
}

// Each mode serves its own requests: a reading helper names drives by its
// enumeration's numbers and never locks; a firmware update's names its one
// drive by device and serves nothing else.
TEST_F(HelperServerTest, EachModeRefusesTheOtherModesRequests)
{
    HelperServer reading(sim(), HelperServer::Mode::Read);
    HelperServer firmware(sim(), HelperServer::Mode::Firmware);
    const DeviceHandle drive = open(reading, "\\\\.\\PHYSICALDRIVE1");
    ASSERT_NE(drive, kInvalidHandle);
    struct Case {
        HelperServer* server;
        const char* what;
        std::vector<uint8_t> request;
    };
    const Case cases[] = {
        {&reading, "a drive opened by its device", openDevice(deviceOf(1))},
        {&reading, "a writer's lock", lock(drive)},
        {&firmware, "a drive opened by its number", Writer().u8(uint8_t(Op::Open)).text("\\\\.\\PHYSICALDRIVE1").u8(2).bytes()},
        {&firmware, "a volume", Writer().u8(uint8_t(Op::Open)).text("\\\\.\\C:").u8(0).bytes()},
        {&firmware, "an enumeration", Writer().u8(uint8_t(Op::BeginEnumeration)).bytes()},
        {&firmware, "the lettered volumes", Writer().u8(uint8_t(Op::LogicalDrives)).bytes()},
        {&firmware, "a volume's free space", Writer().u8(uint8_t(Op::FreeSpace)).text("C:\\").bytes()},
        {&firmware, "a drive's system name", Writer().u8(uint8_t(Op::SystemName)).text("\\\\.\\PHYSICALDRIVE1").bytes()},
        {&firmware, "the system directory", Writer().u8(uint8_t(Op::SystemDirectory)).bytes()},
        {&firmware, "an NVMe command", nvme(drive, kNvmeIdentifyController, 4096)},
    };
    for (const Case& c : cases) {
        testing::internal::CaptureStderr();
        const auto reply = c.server->reply(c.request);
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_FALSE(succeeded(reply)) << c.what;
        EXPECT_NE(said.find("refused"), std::string::npos) << c.what;
    }
    EXPECT_TRUE(stillServes(reading));
    EXPECT_NE(open(firmware, deviceOf(1)), kInvalidHandle) << "and a firmware helper still serves";
}

TEST_F(HelperServerTest, DownloadMicrocodeOnlyToTheDeviceThisWritersHelperLocked)
{
    HelperServer server(sim(), HelperServer::Mode::Firmware);
    const DeviceHandle lockHandle = open(server, deviceOf(1));
    const DeviceHandle drive = open(server, deviceOf(1));
    const DeviceHandle other = open(server, deviceOf(2));
    ASSERT_NE(lockHandle, kInvalidHandle);
    ASSERT_NE(drive, kInvalidHandle);
    ASSERT_NE(other, kInvalidHandle);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(succeeded(server.reply(ata(drive, kPiece, true, 4096, 4096)))) << "before the lock";
    EXPECT_FALSE(succeeded(server.reply(ata(drive, identify(), false, 512, 0)))) << "any command before the lock";
    ASSERT_TRUE(succeeded(server.reply(lock(lockHandle))));
    EXPECT_FALSE(succeeded(server.reply(lock(other)))) << "a second lock";
    EXPECT_FALSE(succeeded(server.reply(ata(other, kPiece, true, 4096, 4096)))) << "another drive";
    EXPECT_EQ(open(server, deviceOf(2)), kInvalidHandle) << "another drive, opened after the lock";
    EXPECT_FALSE(succeeded(server.reply(ata(drive, kPiece, true, 512, 512)))) << "8 sectors counted, 1 sent";
    EXPECT_FALSE(succeeded(server.reply(ata(drive, {0x03, 0x01, 0x01, 0, 0, 0, 0x92, 0}, true, 257 * 512, 257 * 512))))
        << "more than 256 sectors";
    EXPECT_FALSE(succeeded(server.reply(
        sat(drive, {0xA1, 0x16, 0x03, 0x03, 0x10, 0x00, 0x00, 0x00, 0xE0, 0x92, 0x00, 0x00}, true, 16 * 512))))
        << "a SAT piece larger than the USB route's";
    testing::internal::GetCapturedStderr();
    EXPECT_TRUE(sim().received().empty());
    EXPECT_TRUE(succeeded(server.reply(ata(drive, kPiece, true, 4096, 4096))));
    ASSERT_EQ(sim().received().size(), 1u);

    // Once the lock's handle is closed, the update is over: the helper has
    // served its one lock and takes nothing more.
    EXPECT_FALSE(server.finished());
    ASSERT_TRUE(succeeded(server.reply(close(lockHandle))));
    EXPECT_TRUE(server.finished());
    testing::internal::CaptureStderr();
    EXPECT_FALSE(succeeded(server.reply(ata(drive, kPiece, true, 4096, 4096))));
    EXPECT_FALSE(succeeded(server.reply(lock(drive)))) << "a lock after the lock";
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(sim().received().size(), 1u);
}

// The disk under a lock is replaced (hot-plug): the lock's device is gone,
// and nothing reaches the disk that took its place, whether the command goes
// to a handle opened before or after the change.
TEST_F(HelperServerTest, TheDiskThatReplacesALockedOneReceivesNothing)
{
    HelperServer server(sim(), HelperServer::Mode::Firmware);
    const DeviceHandle lockHandle = open(server, deviceOf(1));
    const DeviceHandle before = open(server, deviceOf(1));
    ASSERT_TRUE(succeeded(server.reply(lock(lockHandle))));
    const DeviceIdentity locked = deviceOf(1);

    sim().fleet().drives[1] = parseFleet("{\"drives\": [" +
                                         driveJson(1, 256ull << 30, "", identityJson("S9", "QY-M7A0-128G", "0208a")) +
                                         "]}").drives.front();
    ASSERT_NE(deviceOf(1), locked) << "another disk under the same number";
    testing::internal::CaptureStderr();
    const auto gone = server.reply(openDevice(locked));
    EXPECT_FALSE(succeeded(gone));
    EXPECT_EQ(failureOf(gone), Failure::Gone);
    EXPECT_EQ(open(server, deviceOf(1)), kInvalidHandle) << "the new disk was never locked";
    EXPECT_FALSE(succeeded(server.reply(ata(before, kPiece, true, 4096, 4096))));
    testing::internal::GetCapturedStderr();
    EXPECT_TRUE(sim().received().empty());
}

// A firmware update's helper ends once its lock is given back, while its
// client still holds the stream.
TEST_F(HelperServerTest, AFirmwareHelperEndsWhenItsLockIsGivenBack)
{
    int ends[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, ends), 0);
    int status = -1;
    const DeviceIdentity device = deviceOf(1);
    std::thread serving([&] {
        HelperServer server(sim(), HelperServer::Mode::Firmware);
        status = server.serve(ends[1], ends[1]);
        ::close(ends[1]);
    });
    std::vector<uint8_t> reply;
    ASSERT_EQ(readFrame(ends[0], reply), FrameRead::Frame) << "the hello";
    ASSERT_TRUE(writeFrame(ends[0], openDevice(device)));
    ASSERT_EQ(readFrame(ends[0], reply), FrameRead::Frame);
    Reader in(reply);
    uint8_t ok = 0, kind = 0;
    uint32_t error = 0;
    int64_t handle = kInvalidHandle;
    ASSERT_TRUE(in.u8(ok) && in.u32(error) && in.u8(kind) && in.i64(handle) && ok);
    for (const auto& request : {lock(handle), close(handle)}) {
        ASSERT_TRUE(writeFrame(ends[0], request));
        ASSERT_EQ(readFrame(ends[0], reply), FrameRead::Frame);
        EXPECT_EQ(reply[0], 1);
    }
    EXPECT_EQ(readFrame(ends[0], reply), FrameRead::End) << "the helper closed its end";
    serving.join();
    ::close(ends[0]);
    EXPECT_EQ(status, 0);
}

TEST_F(HelperServerTest, TheStreamSurvivesGarbageAndEndsWithItsClient)
{
    int ends[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, ends), 0);
    int status = -1;
    std::thread serving([&] {
        HelperServer server(sim(), HelperServer::Mode::Read);
        status = server.serve(ends[1], ends[1]);
    });
    std::vector<uint8_t> reply;
    ASSERT_EQ(readFrame(ends[0], reply), FrameRead::Frame) << "the hello";
    testing::internal::CaptureStderr();
    // Garbage, then a frame longer than any request, then a good request.
    ASSERT_TRUE(writeFrame(ends[0], {0xFF, 0x00, 0x13, 0x37}));
    ASSERT_EQ(readFrame(ends[0], reply), FrameRead::Frame);
    EXPECT_EQ(reply[0], 0);
    ASSERT_TRUE(writeFrame(ends[0], std::vector<uint8_t>(kMaxFrame + 10, 0xAB)));
    ASSERT_EQ(readFrame(ends[0], reply), FrameRead::Frame);
    EXPECT_EQ(reply[0], 0);
    ASSERT_TRUE(writeFrame(ends[0], Writer().u8(uint8_t(Op::LogicalDrives)).bytes()));
    ASSERT_EQ(readFrame(ends[0], reply), FrameRead::Frame);
    EXPECT_EQ(reply[0], 1);
    testing::internal::GetCapturedStderr();
    // A frame cut short by the client's going away ends the helper.
    const uint8_t cut[] = {100, 0, 0, 0, 1, 2};
    ASSERT_EQ(::write(ends[0], cut, sizeof cut), static_cast<ssize_t>(sizeof cut));
    ::close(ends[0]);
    serving.join();
    ::close(ends[1]);
    EXPECT_EQ(status, 1);
}

}  // namespace
