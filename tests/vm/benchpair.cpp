// Times two shell commands side by side inside a guest: RUNS starts of each,
// interleaved (A, B, A, B, ...), each one's output thrown away, and prints
// per command the median, minimum and maximum in milliseconds, then the
// ratio of the medians A / B:
//
//   A median=12.40 min=11.90 max=15.02
//   B median=30.11 min=29.47 max=33.80
//   ratio=0.412
//
// Usage: quillfence-vm-benchpair RUNS 'command A' 'command B'

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <string>
#include <vector>

namespace {

double nowMilliseconds()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

// One start of `command` through /bin/sh; its duration, or a negative value
// when it did not end with status 0.
double timeOnce(const std::string& command)
{
    const double started = nowMilliseconds();
    const pid_t child = fork();
    if (child == 0) {
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
        execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    waitpid(child, &status, 0);
    const double elapsed = nowMilliseconds() - started;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? elapsed : -1;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

}  // namespace

int main(int argc, char** argv)
{
    const int runs = argc == 4 ? std::atoi(argv[1]) : 0;
    if (runs < 1) {
        std::fprintf(stderr, "usage: %s RUNS 'command A' 'command B'\n", argv[0]);
        return 2;
    }
    std::vector<double> times[2];
    for (int run = 0; run < runs; ++run) {
        for (int which = 0; which < 2; ++which) {
            const double elapsed = timeOnce(argv[2 + which]);
            if (elapsed < 0) {
                std::fprintf(stderr, "%s failed\n", argv[2 + which]);
                return 1;
            }
            times[which].push_back(elapsed);
        }
    }
    for (int which = 0; which < 2; ++which)
        std::printf("%c median=%.2f min=%.2f max=%.2f\n", "AB"[which], median(times[which]),
                    *std::min_element(times[which].begin(), times[which].end()),
                    *std::max_element(times[which].begin(), times[which].end()));
    std::printf("ratio=%.3f\n", median(times[0]) / median(times[1]));
    return 0;
}
