// quillfence-cli update-firmware run as a separate process on a simulated
// machine, watched through the device log.

#include "FwFixture.h"

#include "RunCommand.h"
#include "disk/simulated/Sha256.h"


namespace {

// Drive 1 SATA and drive 2 USB, both the maker's with an updatable revision;
// drive 3 at the latest revision; drive 4 failing its fifth command (the
// identity read takes three); drive 5 an NVMe drive that would otherwise qualify.
const std::string kFleet = R"({"drives": [
  {"number": 0, "length": 1000000000, "volumes": [{"letter": "C", "total": 1000, "free": 10}]},
  {"number": 1, "length": 256000000000,
   "identity": {"serial": "QF-SATA-1", "model": "QYD-M7A0-256G", "firmware": "V0208a"}},
  {"number": 2, "bus": "usb", "length": 256000000000,
   "identity": {"serial": "QF-USB-2", "model": "QYD-M7A0-256G", "firmware": "V0208A"}},
  {"number": 3, "length": 256000000000,
   "identity": {"serial": "QF-NEW-3", "model": "QYD-M7A0-256G", "firmware": "V0428c"}},
  {"number": 4, "length": 256000000000, "failCommand": 5,
   "identity": {"serial": "QF-BAD-4", "model": "QYD-M7A0-256G", "firmware": "V0208a"}},
  {"number": 5, "bus": "nvme", "length": 256000000000,
   "identity": {"serial": "QF-NVME-5", "model": "QYD-M7A0-256G", "firmware": "V0208a"}}
]})";

constexpr size_t kImageSize = 20 * 512 - 77;  // 20 sectors: 4 commands in 8-sector blocks

class FirmwareCli : public ::testing::Test {
protected:
    void SetUp() override
    {
        const auto* test = testing::UnitTest::GetInstance()->current_test_info();
        work_ = fs::path(testing::TempDir()) / (std::string("fw-cli-") + test->name());
        fs::remove_all(work_);
        fs::create_directories(appDir() / "FwUpdata");
        std::ofstream(work_ / "fleet.json") << kFleet;
        image_ = imageBytes(kImageSize);
        writeFile(appDir() / "FwUpdata" / "DCBFCBGC.bin", image_);
    }
    void TearDown() override
    {
        std::error_code ignored;
        fs::remove_all(work_, ignored);
    }

    fs::path appDir() const { return work_ / "app"; }
    // The user's data folder of the runs, empty unless a test fills it.
    fs::path dataHome() const { return work_ / "data"; }

    CommandRun cli(const std::string& arguments, const std::string& program = QUILLFENCE_CLI) const
    {
        const std::string command = "QUILLFENCE_DEVICES='" + (work_ / "fleet.json").string() +
                                    "' QUILLFENCE_DEVICE_LOG='" + (work_ / "log.txt").string() +
                                    "' XDG_DATA_HOME='" + dataHome().string() + "' '" + program +
                                    "' " + arguments + " 2>/dev/null";
        return runCommand(command);
    }
    CommandRun update(int drive, const std::string& options = "") const
    {
        return cli("update-firmware " + std::to_string(drive) + " --app-dir '" + appDir().string() + "'" + options);
    }

    // The log lines of the data a drive was sent.
    std::vector<std::string> sentLines() const
    {
        std::ifstream file(work_ / "log.txt");
        std::vector<std::string> lines;
        for (std::string line; std::getline(file, line);)
            if (line.find("direction=out") != std::string::npos)
                lines.push_back(line);
        return lines;
    }

    // The log lines of the four commands of the image, the route's command
    // blocks given.
    std::vector<std::string> expectedLines(int drive, const std::string& route,
                                           const std::vector<std::string>& blocks) const
    {
        const auto image = expectedImage(image_);
        const std::pair<size_t, size_t> slices[] = {{0, 8}, {8, 8}, {16, 3}, {19, 1}};
        std::vector<std::string> lines;
        for (size_t i = 0; i < blocks.size(); ++i) {
            const auto [offset, count] = slices[i];
            lines.push_back("drive=" + std::to_string(drive) + " route=" + route + " command=" + blocks[i] +
                            " direction=out length=" + std::to_string(count * 512) +
                            " sha256=" + Sha256Hex(image.data() + offset * 512, count * 512) + " accepted=yes");
        }
        return lines;
    }

    fs::path work_;
    std::vector<uint8_t> image_;
};

TEST_F(FirmwareCli, WithoutYesItShowsDriveAndImageAndSendsNothing)
{
    const CommandRun run = update(1);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "PhysicalDrive1  model \"QYD-M7A0-256G\"  serial \"QF-SATA-1\"  firmware \"V0208a\"\n"
                       "image " + appDir().string() + "//FwUpdata//DCBFCBGC.bin\n"
                       "image size 10163 bytes, 20 sectors\n"
                       "nothing sent: add --yes to send the image\n");
    EXPECT_TRUE(sentLines().empty());
}

TEST_F(FirmwareCli, WithYesTheImageGoesOutOverTheDrivesRoute)
{
    CommandRun run = update(1, " --yes");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_NE(run.out.find("\nsent 4 of 4 commands\n固件升级成功\n"), std::string::npos) << run.out;
    EXPECT_EQ(sentLines(), expectedLines(1, "ata", {"0308000000009200", "0308000800009200", "0303001000009200",
                                                    "0301001300009200"}));

    fs::remove(work_ / "log.txt");
    run = update(2, " --yes");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_NE(run.out.find("\n固件升级成功\n"), std::string::npos) << run.out;
    EXPECT_EQ(sentLines(), expectedLines(2, "sat", {"A116030308000000E0920000", "A116030308000800E0920000",
                                                    "A116030303001000E0920000", "A10A030301001300E0920000"}));
}

TEST_F(FirmwareCli, AFailingCommandEndsTheTransfer)
{
    const CommandRun run = update(4, " --yes");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.out.find("\nsent 2 of 4 commands\n固件升级命令交互出错\n"), std::string::npos) << run.out;
    auto expected = expectedLines(4, "ata", {"0308000000009200", "0308000800009200"});
    expected[1].replace(expected[1].size() - 3, 3, "no");
    EXPECT_EQ(sentLines(), expected);
}

TEST_F(FirmwareCli, NothingIsSentWhenNoUpdateIsDueOrTheImageIsMissing)
{
    CommandRun run = update(3, " --yes");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.out.find("\n已是最新版本无需升级\n"), std::string::npos) << run.out;
    run = update(5, " --yes");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.out.find("\nNVMe硬盘不支持固件升级\n"), std::string::npos) << run.out;

    fs::remove(appDir() / "FwUpdata" / "DCBFCBGC.bin");
    for (const char* options : {"", " --yes"}) {
        run = update(1, options);
        EXPECT_EQ(run.exitCode, 1) << options;
        EXPECT_NE(run.out.find("\n升级文件大小为0\n"), std::string::npos) << run.out;
    }
    EXPECT_TRUE(sentLines().empty());
}

TEST_F(FirmwareCli, ImagesAreLookedForBesideTheProgram)
{
    const fs::path program = appDir() / "quillfence-cli";
    fs::copy_file(QUILLFENCE_CLI, program);
    const CommandRun run = cli("update-firmware 1", program.string());
    EXPECT_EQ(run.exitCode, 0) << run.out;
    EXPECT_NE(run.out.find("image " + appDir().string() + "//FwUpdata//DCBFCBGC.bin\n"), std::string::npos)
        << run.out;
}

TEST_F(FirmwareCli, WithoutAppDirTheUsersDataFolderIsSearchedToo)
{
    // The program in the build folder has no FwUpdata beside it.
    const fs::path userImages = dataHome() / "quillfence" / "FwUpdata";
    fs::create_directories(userImages);
    writeFile(userImages / "DCBFCBGC.bin", image_);
    CommandRun run = cli("update-firmware 1");
    EXPECT_EQ(run.exitCode, 0) << run.out;
    EXPECT_NE(run.out.find("image " + (dataHome() / "quillfence").string() + "//FwUpdata//DCBFCBGC.bin\n"),
              std::string::npos)
        << run.out;

    // --app-dir names the only folder searched.
    fs::create_directories(work_ / "empty");
    run = cli("update-firmware 1 --app-dir '" + (work_ / "empty").string() + "'");
    EXPECT_EQ(run.exitCode, 1) << run.out;
    EXPECT_NE(run.out.find("image " + (work_ / "empty").string() + "//FwUpdata//DCBFCBGC.bin\n升级文件大小为0\n"),
              std::string::npos)
        << run.out;
    EXPECT_TRUE(sentLines().empty());
}

TEST_F(FirmwareCli, BadArgumentsPrintUsageAndExitTwo)
{
    for (const char* arguments : {"update-firmware", "update-firmware x", "update-firmware 1 --force",
                                  "update-firmware 1 --app-dir", "update-firmware --yes 1"}) {
        const CommandRun run = cli(arguments);
        EXPECT_EQ(run.exitCode, 2) << arguments;
        EXPECT_TRUE(run.out.empty()) << arguments;
    }
    EXPECT_TRUE(sentLines().empty());
}

TEST_F(FirmwareCli, ADriveOutsideTheListIsRefused)
{
    EXPECT_EQ(update(9, " --yes").exitCode, 1);
    EXPECT_TRUE(sentLines().empty());
}

}  // namespace
