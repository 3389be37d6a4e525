// Replacing and reading small files where another user may have planted a
// link, a FIFO or a folder under the name.
#include "files/SafeFiles.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace fs = std::filesystem;

namespace {

class SafeFilesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "safefiles.XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir = pattern;
    }
    void TearDown() override { fs::remove_all(dir); }

    static void write(const fs::path& path, const std::string& content)
    {
        std::ofstream(path, std::ios::binary) << content;
    }
    static std::string read(const fs::path& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    // The folder's entries: nothing but what the test expects is left.
    std::size_t entries() const { return std::distance(fs::directory_iterator(dir), fs::directory_iterator()); }

    fs::path dir;
};

TEST_F(SafeFilesTest, ReplacesAFileWholeAndLeavesNoTemporaryFile)
{
    const fs::path config = dir / "config";
    ASSERT_TRUE(files::replaceFile(config, "0\n"));
    EXPECT_EQ(read(config), "0\n");
    write(config, "a much longer old content\n");
    ASSERT_TRUE(files::replaceFile(config, "1\n"));
    EXPECT_EQ(read(config), "1\n");
    EXPECT_EQ(fs::status(config).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read);
    EXPECT_EQ(entries(), 1u);
}

TEST_F(SafeFilesTest, ALinkIsReplacedAndItsTargetLeftAlone)
{
    const fs::path target = dir / "precious";
    write(target, "someone's data");
    const fs::path link = dir / "offline.txt";
    fs::create_symlink(target, link);
    const fs::path dangling = dir / "raw";
    fs::create_symlink(dir / "created-through-the-link", dangling);

    ASSERT_TRUE(files::replaceFile(link, "select disk 1\r\noffline disk"));
    ASSERT_TRUE(files::replaceFile(dangling, "true"));

    EXPECT_EQ(read(target), "someone's data");
    EXPECT_FALSE(fs::is_symlink(link));
    EXPECT_EQ(read(link), "select disk 1\r\noffline disk");
    EXPECT_FALSE(fs::is_symlink(dangling));
    EXPECT_FALSE(fs::exists(dir / "created-through-the-link"));
    EXPECT_EQ(entries(), 3u);
}

TEST_F(SafeFilesTest, AFailedReplacementChangesNothingAndSaysWhy)
{
    const fs::path folder = dir / "config";
    fs::create_directory(folder);
    std::error_code error;
    EXPECT_FALSE(files::replaceFile(folder, "0\n", &error));
    EXPECT_EQ(error, std::errc::is_a_directory) << error.message();
    EXPECT_TRUE(fs::is_directory(folder));
    EXPECT_EQ(entries(), 1u);

    EXPECT_FALSE(files::replaceFile(dir / "missing" / "config", "0\n", &error));
    EXPECT_EQ(error, std::errc::no_such_file_or_directory) << error.message();
    EXPECT_EQ(entries(), 1u);

    write(dir / "plain", "");
    EXPECT_FALSE(files::replaceFile(dir / "plain" / "config", "0\n", &error));
    EXPECT_EQ(error, std::errc::not_a_directory) << error.message();
    EXPECT_EQ(entries(), 2u);
}

TEST_F(SafeFilesTest, ReadsOnlyARegularFile)
{
    const fs::path regular = dir / "config";
    write(regular, "2\n");
    EXPECT_EQ(files::readRegularFile(regular, 64), std::optional<std::string>("2\n"));
    write(dir / "empty", "");
    EXPECT_EQ(files::readRegularFile(dir / "empty", 64), std::optional<std::string>(""));

    fs::create_symlink(regular, dir / "link");
    fs::create_directory(dir / "folder");
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
    const auto start = std::chrono::steady_clock::now();
    for (const char* name : {"link", "folder", "fifo", "missing"})
        EXPECT_EQ(files::readRegularFile(dir / name, 64), std::nullopt) << name;
    // A FIFO without a writer must not hold the reader.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
}

TEST_F(SafeFilesTest, RefusesAFileOverTheLimit)
{
    write(dir / "big", std::string(65, 'x'));
    EXPECT_EQ(files::readRegularFile(dir / "big", 64), std::nullopt);
    EXPECT_EQ(files::readRegularFile(dir / "big", 65), std::optional<std::string>(std::string(65, 'x')));
}

TEST_F(SafeFilesTest, APathIsTakenByAnythingStandingThere)
{
    fs::create_symlink(dir / "nowhere", dir / "dangling");
    EXPECT_TRUE(files::pathTaken(dir / "dangling"));
    EXPECT_TRUE(files::pathTaken(dir));
    EXPECT_FALSE(files::pathTaken(dir / "missing"));
}

}  // namespace
