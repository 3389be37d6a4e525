// The files of the simulated backend when something else than a regular file
// stands in their place: a FIFO (which would block a plain open), a device
// (which never ends), a directory, a symbolic link, a file too large. Each is
// refused at once with a message.

#include "FleetFixture.h"

#include "disk/DevicePath.h"
#include "disk/PassThrough.h"
#include "disk/PhyDiskInfo.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

namespace fs = std::filesystem;

namespace {

constexpr uint8_t kIdentifyAta[8] = {0x00, 0x01, 0x00, 0x00, 0x00, 0xE0, 0xEC, 0x00};

class SimulatedFiles : public FleetTest {
protected:
    void SetUp() override
    {
        // A read or open that blocks ends the test run here instead of hanging it.
        alarm(60);
        const auto* test = testing::UnitTest::GetInstance()->current_test_info();
        dir_ = fs::path(testing::TempDir()) / (std::string("simulated-files-") + test->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override
    {
        for (int fd : held_)
            ::close(fd);
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
        alarm(0);
    }

    // A FIFO; with `held`, this process keeps both its ends open, as a
    // reader or writer elsewhere would.
    std::string fifo(bool held)
    {
        const std::string path = (dir_ / (held ? "held-fifo" : "fifo")).string();
        EXPECT_EQ(mkfifo(path.c_str(), 0600), 0);
        if (held)
            held_.push_back(::open(path.c_str(), O_RDWR | O_NONBLOCK));
        return path;
    }
    std::string directory() const { return dir_.string(); }
    std::string file(const std::string& name, size_t size) const
    {
        const fs::path path = dir_ / name;
        std::ofstream(path, std::ios::binary) << std::string(size, '\x01');
        return path.string();
    }
    // Removes what a case made in the test's folder (never a device, nor the folder).
    void discard(const std::string& path) const
    {
        if (path.rfind(dir_.string() + "/", 0) == 0)
            fs::remove_all(path);
    }
    std::string link(const std::string& target) const
    {
        const fs::path path = dir_ / "link";
        fs::create_symlink(target, path);
        return path.string();
    }

    struct Case {
        const char* what;
        std::function<std::string()> make;  // the path to use
        std::string message;
    };
    // What can stand in the place of any of the files, and its message.
    std::vector<Case> strangers()
    {
        return {
            {"FIFO", [this] { return fifo(false); }, "is not a regular file"},
            {"FIFO open elsewhere", [this] { return fifo(true); }, "is not a regular file"},
            {"endless device", [] { return std::string("/dev/zero"); }, "is not a regular file"},
            {"directory", [this] { return directory(); }, "is not a regular file"},
            {"symbolic link", [this] { return link(file("target", 512)); }, "is a symbolic link"},
        };
    }

    fs::path dir_;
    std::vector<int> held_;
};

TEST_F(SimulatedFiles, FleetFilesThatAreNoRegularFileOrTooLargeGiveAnEmptyMachine)
{
    auto cases = strangers();
    cases.push_back({"missing file", [this] { return (dir_ / "absent.json").string(); },
                     "cannot be read: No such file or directory"});
    cases.push_back({"1 MiB and a byte", [this] { return file("large.json", (1 << 20) + 1); },
                     "is larger than 1048576 bytes"});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = c.make();
        testing::internal::CaptureStderr();
        const auto sim = SimulatedStorage::fromFile(path);
        const std::string message = testing::internal::GetCapturedStderr();
        EXPECT_NE(message.find("fleet file " + path + ": " + c.message), std::string::npos) << message;
        EXPECT_TRUE(sim->fleet().drives.empty());
        discard(path);
    }
}

TEST_F(SimulatedFiles, SectorFilesThatAreNoRegularFileOrNot512BytesGiveAnEmptyMachine)
{
    auto cases = strangers();
    cases.push_back({"513 bytes", [this] { return file("long.bin", 513); }, "is larger than 512 bytes"});
    cases.push_back({"511 bytes", [this] { return file("short.bin", 511); }, "is not exactly 512 bytes"});
    const std::string fleet = (dir_ / "fleet.json").string();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = c.make();
        std::ofstream(fleet) << "{\"drives\": [{\"number\": 1, \"length\": 1, \"sectors\": {\"smartData\": \"" + path +
                                    "\"}}]}";
        testing::internal::CaptureStderr();
        const auto sim = SimulatedStorage::fromFile(fleet);
        const std::string message = testing::internal::GetCapturedStderr();
        EXPECT_NE(message.find("drives[0].sectors.smartData: " + path + " " + c.message), std::string::npos)
            << message;
        EXPECT_TRUE(sim->fleet().drives.empty());
        discard(path);
    }
}

TEST_F(SimulatedFiles, ALogThatIsNoRegularFileRefusesTheCommandsBeforeTheDriveSeesThem)
{
    auto cases = strangers();
    cases.push_back({"no such folder", [this] { return (dir_ / "absent" / "log.txt").string(); },
                     "cannot be opened: No such file or directory"});
    cases.push_back({"character device", [] { return std::string("/dev/null"); }, "is not a regular file"});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = c.make();
        install("{\"drives\": [" + driveJson(1, 1 << 30, "", ", \"identity\": {\"model\": \"M\"}") + "]}")
            .logCommandsTo(path);
        uint8_t sector[kSectorSize] = {};
        testing::internal::CaptureStderr();
        EXPECT_FALSE(AtaPassThrough(physicalDrivePath(1), kIdentifyAta, sector, 1, true));
        EXPECT_FALSE(AtaPassThrough(physicalDrivePath(1), kIdentifyAta, sector, 1, true));
        const std::string message = testing::internal::GetCapturedStderr();
        EXPECT_NE(message.find("device log " + path + ": " + c.message), std::string::npos) << message;
        EXPECT_EQ(message.find("device log", message.find('\n')), std::string::npos) << "said once: " << message;
        EXPECT_EQ(sim().driveState(1).commandsReceived(), 0);
        EXPECT_EQ(sim().lastError(), SimulatedStorage::kErrorWriteFault);
        EXPECT_TRUE(deviceLogFailed());
        discard(path);
    }
}

// A log that opens but takes no more (here the file-size limit; a full disk
// alike): the command has run, but its request fails and the rest are refused.
TEST_F(SimulatedFiles, ALogLineThatCannotBeWrittenFailsTheRequestAndRefusesTheRest)
{
    const std::string path = file("full-log.txt", 0);
    fs::resize_file(path, 1 << 20);
    install("{\"drives\": [" + driveJson(1, 1 << 30, "", ", \"identity\": {\"model\": \"M\"}") + "]}")
        .logCommandsTo(path);

    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit full = saved;
    full.rlim_cur = 1 << 20;
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &full), 0);
    uint8_t sector[kSectorSize] = {};
    testing::internal::CaptureStderr();
    const bool first = AtaPassThrough(physicalDrivePath(1), kIdentifyAta, sector, 1, true);
    const bool second = AtaPassThrough(physicalDrivePath(1), kIdentifyAta, sector, 1, true);
    const std::string message = testing::internal::GetCapturedStderr();
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);

    EXPECT_FALSE(first);
    EXPECT_FALSE(second);
    EXPECT_NE(message.find("device log " + path + ": cannot be written"), std::string::npos) << message;
    EXPECT_EQ(sim().driveState(1).commandsReceived(), 1) << "the second command never reached the drive";
    EXPECT_EQ(sim().lastError(), SimulatedStorage::kErrorWriteFault);
    EXPECT_TRUE(deviceLogFailed());
    EXPECT_EQ(fs::file_size(path), 1u << 20);
}

}  // namespace
