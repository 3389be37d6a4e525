// An image file that may be read but not written is sent all the same, and
// stays as it was. The image is a copy of a running program: Linux refuses
// to open such a file for writing even to root (ETXTBSY), so the test holds
// whoever runs it.

#include "FwFixture.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

// A program started from `path`, ended when this goes out of scope.
class RunningProgram {
public:
    explicit RunningProgram(const std::string& path)
    {
        std::string program = path, seconds = "60";
        char* argv[] = {program.data(), seconds.data(), nullptr};
        if (posix_spawn(&pid_, path.c_str(), nullptr, nullptr, argv, environ) != 0)
            pid_ = -1;
    }
    ~RunningProgram()
    {
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
    }
    bool running() const { return pid_ > 0; }

private:
    pid_t pid_ = -1;
};

bool writable(const fs::path& path)
{
    const int fd = open(path.c_str(), O_RDWR);
    if (fd < 0)
        return false;
    close(fd);
    return true;
}

using FwReadOnlyImageTest = FwTest;

TEST_F(FwReadOnlyImageTest, IsSentAndLeftUnchanged)
{
    machine("sata");
    const fs::path image = imageFile("DCBFCBCC.bin");
    fs::copy_file("/bin/sleep", image);
    RunningProgram busy(image.string());
    ASSERT_TRUE(busy.running());
    fs::permissions(image, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    ASSERT_FALSE(writable(image)) << "the test needs an image nobody can open for writing";
    const auto before = readFile(image);

    const FwUpdateOutcome outcome = UpdateFirmware(maker("QYD-M7A0-128G"), "0208a", appDir());
    EXPECT_EQ(outcome.code, kFwOk);
    EXPECT_TRUE(receivedImage(expectedImage(before)));
    EXPECT_EQ(readFile(image), before);
}

}  // namespace
