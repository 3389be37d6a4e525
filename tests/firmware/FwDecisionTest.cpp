// Which drives are offered an update, with which image and block size, and
// the texts the page shows. No device is involved.

#include "firmware/FwUpdate.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

const std::string kApp = "C:/Program Files/Quillfence";

struct DecisionCase {
    const char* model;
    const char* revision;
    const char* image;  // nullptr: the latest, no update
    bool bigChunks;
};

const DecisionCase kDecisions[] = {
    {"QYD-M7A0-120G", "V0208a", "C:/Program Files/Quillfence//FwUpdata//DCBFCBCC.bin", false},
    {"QYD-M7A0-128G", "0208a", "C:/Program Files/Quillfence//FwUpdata//DCBFCBCC.bin", false},
    {"QYD-M7A0-240G", "0208a", "C:/Program Files/Quillfence//FwUpdata//DCBFCBGC.bin", false},
    {"QYD-M7A0-256G", "0208a", "C:/Program Files/Quillfence//FwUpdata//DCBFCBGC.bin", false},
    {"QYD-M7A0-480G", "0208a", "C:/Program Files/Quillfence//FwUpdata//DCBFCBOC.bin", false},
    {"QYD-M7A0-512G", "0208a", "C:/Program Files/Quillfence//FwUpdata//DCBFCBOC.bin", false},
    // Revisions: case ignored; "0428c" wins over "0208a"; anything else is the latest.
    {"QYD-M7A0-256G", "0208A", "C:/Program Files/Quillfence//FwUpdata//DCBFCBGC.bin", false},
    {"QYD-M7A0-256G", "0428c0208a", nullptr, false},
    {"QYD-M7A0-256G", "0208a0428C", nullptr, false},
    {"QYD-M7A0-256G", "0428c", nullptr, false},
    {"QYD-M7A0-256G", "0208b", nullptr, false},
    {"QYD-M7A0-256G", "", nullptr, false},
    // Capacities are case-sensitive, the first row of the table that matches wins.
    {"QYD-M7A0-256g", "0208a", nullptr, false},
    {"QYD-M7A0", "0208a", nullptr, false},
    {"QY-512G-128G", "0208a", "C:/Program Files/Quillfence//FwUpdata//DCBFCBCC.bin", false},
    // Model codes for 256-sector blocks: the third of exactly three parts,
    // empty parts counted.
    {"QY-128G-M7B0", "0208a", "C:/Program Files/Quillfence//FwUpdata//DCBFCBCC.bin", true},
    {"QY-256G-M7C0", "0208a", "C:/Program Files/Quillfence//FwUpdata//DCBFCBGC.bin", true},
    {"QY-512G-M7B0M", "0208a", "C:/Program Files/Quillfence//FwUpdata//DCBFCBOC.bin", true},
    {"QY-128G-M7B0 ", "0208a", "C:/Program Files/Quillfence//FwUpdata//DCBFCBCC.bin", false},
    {"QY-128G-M7B0-X", "0208a", "C:/Program Files/Quillfence//FwUpdata//DCBFCBCC.bin", false},
    {"QY-128G-m7b0", "0208a", "C:/Program Files/Quillfence//FwUpdata//DCBFCBCC.bin", false},
    {"M7B0-128G-", "0208a", "C:/Program Files/Quillfence//FwUpdata//DCBFCBCC.bin", false},
    {"128G--M7C0", "0208a", "C:/Program Files/Quillfence//FwUpdata//DCBFCBCC.bin", true},
};

TEST(FwDecision, RevisionCapacityAndModelCodeOfAMakersDrive)
{
    for (const DecisionCase& c : kDecisions) {
        SCOPED_TRACE(std::string(c.model) + " / " + c.revision);
        const FirmwareDecision decision = DecideFwUpdate({1, c.model, true}, c.revision, kApp);
        EXPECT_EQ(decision.latest, c.image == nullptr);
        if (c.image) {
            EXPECT_EQ(decision.imagePath, c.image);
            EXPECT_EQ(decision.bigChunks, c.bigChunks);
        }
    }
}

TEST(FwDecision, NoUpdateWithoutTheMakerFlagOrBeforeAnyRecord)
{
    EXPECT_TRUE(DecideFwUpdate({1, "QYD-M7A0-256G", false}, "0208a", kApp).latest);
    EXPECT_TRUE(DecideFwUpdate(FwUpdateState{}, "N/A", kApp).latest);
}

// The maker's images are for its SATA drives: an NVMe drive is offered none,
// whatever its model, revision and maker flag, and the page and the CLI say why.
TEST(FwDecision, AnNvmeDriveIsOfferedNoUpdate)
{
    FwUpdateState nvme{1, "QYD-M7A0-256G", true};
    nvme.nvme = true;
    const FirmwareDecision decision = DecideFwUpdate(nvme, "0208a", kApp);
    EXPECT_TRUE(decision.latest);
    EXPECT_TRUE(decision.nvme);
    EXPECT_STREQ(FwNoUpdateText(decision), "NVMe硬盘不支持固件升级");
    const FirmwareDecision among = DecideFwUpdateAmong(nvme, "0208a", {kApp});
    EXPECT_TRUE(among.latest);
    EXPECT_TRUE(among.nvme);
    EXPECT_STREQ(FwNoUpdateText(DecideFwUpdate({1, "QYD-M7A0-256G", true}, "0428c", kApp)), "已是最新版本无需升级");
}

// The system disk, which the window lists on request, is offered no image,
// even where the drive would otherwise qualify.
TEST(FwDecision, TheSystemDiskIsOfferedNoUpdate)
{
    FwUpdateState system{0, "QYD-M7A0-256G", true};
    system.systemDisk = true;
    for (const FirmwareDecision& decision :
         {DecideFwUpdate(system, "0208a", kApp), DecideFwUpdateAmong(system, "0208a", {kApp})}) {
        EXPECT_TRUE(decision.latest);
        EXPECT_TRUE(decision.systemDisk);
        EXPECT_TRUE(decision.imagePath.empty());
        EXPECT_STREQ(FwNoUpdateText(decision), "此磁盘是系统盘，不能升级固件，没有发送任何数据");
    }
}

// Three folders; the 256 G image lies in the ones a case names. "dir" puts a
// folder of the image's name there instead, which is no image.
struct FolderCase {
    const char* holding[3];  // "file", "dir" or nullptr for folders 0, 1, 2
    int chosen;              // the folder whose path the decision names
};

const FolderCase kFolderCases[] = {
    {{"file", "file", "file"}, 0},
    {{nullptr, "file", "file"}, 1},
    {{nullptr, nullptr, "file"}, 2},
    {{"dir", nullptr, "file"}, 2},
    {{nullptr, nullptr, nullptr}, 0},  // none: the first, reported as a file of size 0
    {{"dir", "dir", nullptr}, 0},
};

TEST(FwDecision, TheFirstFolderHoldingTheImageWins)
{
    const std::filesystem::path root = std::filesystem::path(testing::TempDir()) / "fw-folders";
    for (const FolderCase& c : kFolderCases) {
        std::filesystem::remove_all(root);
        std::vector<std::string> folders;
        for (int i = 0; i < 3; ++i) {
            const std::filesystem::path folder = root / ("folder" + std::to_string(i));
            std::filesystem::create_directories(folder / "FwUpdata");
            if (c.holding[i] && std::string(c.holding[i]) == "file")
                std::ofstream(folder / "FwUpdata" / "DCBFCBGC.bin") << "image";
            else if (c.holding[i])
                std::filesystem::create_directory(folder / "FwUpdata" / "DCBFCBGC.bin");
            folders.push_back(folder.string());
        }
        const FirmwareDecision decision = DecideFwUpdateAmong({1, "QY-256G-M7B0", true}, "0208a", folders);
        EXPECT_FALSE(decision.latest);
        EXPECT_TRUE(decision.bigChunks);
        EXPECT_EQ(decision.imagePath, folders[c.chosen] + "//FwUpdata//DCBFCBGC.bin") << "case " << &c - kFolderCases;
    }
    std::filesystem::remove_all(root);
}

TEST(FwDecision, AmongFoldersTheLatestStaysTheLatestAndNoFolderGivesAnEmptyPath)
{
    const std::vector<std::string> folders = {kApp};
    EXPECT_TRUE(DecideFwUpdateAmong({1, "QYD-M7A0-256G", true}, "0428c", folders).latest);
    EXPECT_TRUE(DecideFwUpdateAmong({1, "QYD-M7A0-256G", false}, "0208a", folders).latest);

    const FirmwareDecision noFolder = DecideFwUpdateAmong({1, "QYD-M7A0-256G", true}, "0208a", {});
    EXPECT_FALSE(noFolder.latest);
    EXPECT_EQ(noFolder.imagePath, "") << "never a path at the root of the file system";
}

TEST(FwDecision, StateTakesNumberModelAndMakerFlagOfTheRecord)
{
    PhyDiskInfo disk{};
    disk.diskNum = 4;
    std::strcpy(disk.model, "QYD-M7A0-256G");
    std::strcpy(disk.firmware, "0428c");
    disk.isMakerDisk = 1;
    const FwUpdateState state = FwUpdateStateFromRecord(disk);
    EXPECT_EQ(state.diskNum, 4);
    EXPECT_EQ(state.model, "QYD-M7A0-256G");
    EXPECT_TRUE(state.updateAllowed);
    EXPECT_FALSE(state.nvme);
    disk.isNvme = 1;
    EXPECT_TRUE(FwUpdateStateFromRecord(disk).nvme);
    EXPECT_FALSE(state.systemDisk);
    disk.isSystemDisk = 1;
    EXPECT_TRUE(FwUpdateStateFromRecord(disk).systemDisk);

    // A model field without its terminator ends at the field's end.
    std::memset(disk.model, 'A', sizeof disk.model);
    disk.isMakerDisk = 0;
    EXPECT_EQ(FwUpdateStateFromRecord(disk).model, std::string(kTextLength, 'A'));
    EXPECT_FALSE(FwUpdateStateFromRecord(disk).updateAllowed);
}

TEST(FwMessages, EachResultCodeWithItsTextAndBox)
{
    const struct {
        int code;
        FwDialog dialog;
        const char* text;
    } cases[] = {
        {0, FwDialog::Success, "固件升级成功"},
        {-1, FwDialog::Notice, "升级文件路径为空"},
        {-2, FwDialog::Notice, "升级文件大小为0"},
        {-4, FwDialog::Notice, "升级文件句柄打开失败"},
        {-5, FwDialog::Notice, "内存申请失败"},
        {-6, FwDialog::Notice, "读升级文件失败"},
        {-7, FwDialog::Notice, "固件升级命令交互出错"},
        {-8, FwDialog::Notice, "升级文件过大"},
        {-3, FwDialog::Notice, "固件升级命令交互出错"},
        {-99, FwDialog::Notice, "固件升级命令交互出错"},
        {1, FwDialog::Notice, "固件升级命令交互出错"},
    };
    for (const auto& c : cases) {
        const FwMessage message = FwResultMessage(c.code);
        EXPECT_EQ(message.dialog, c.dialog) << c.code;
        EXPECT_STREQ(message.text, c.text) << c.code;
    }
}

TEST(FwMessages, LatestIsANoticeAndAFailedBusQueryShowsNothing)
{
    const auto latest = FwOutcomeMessage({FwOutcomeKind::Latest, 0, {}});
    ASSERT_TRUE(latest);
    EXPECT_EQ(latest->dialog, FwDialog::Notice);
    EXPECT_STREQ(latest->text, "已是最新版本无需升级");
    EXPECT_FALSE(FwOutcomeMessage({FwOutcomeKind::NoBusType, 0, {}}));
    const auto nvme = FwOutcomeMessage({FwOutcomeKind::NotForNvme, 0, {}});
    ASSERT_TRUE(nvme);
    EXPECT_EQ(nvme->dialog, FwDialog::Notice);
    EXPECT_STREQ(nvme->text, "NVMe硬盘不支持固件升级");
    EXPECT_STREQ(FwOutcomeMessage({FwOutcomeKind::Download, -7, {}})->text, "固件升级命令交互出错");
}

}  // namespace
