// The history view's opening time (scripts/measure-history.sh): from its
// construction to its first paint with the data of the range shown, for a
// drive with a year of hourly samples (range 全部, every sample drawn) and,
// as the reference measured in the same run, for a drive with none (the
// empty view). Prints the median of ROUNDS openings of each in milliseconds.
// With --size, fills 16 drives with a year of hourly samples each instead
// and prints the database's size, unthinned and as the retention keeps it.
// Run with XDG_DATA_HOME naming an empty folder of its own.
// Usage: quillfence-history-bench ROUNDS | --size

#include "app/HistoryDemo.h"
#include "history/view/HealthHistoryView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

namespace {

constexpr int kYear = 365 * 24;

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// One opening: constructed, shown, loaded and painted.
double openOnce(const history::DriveKey& drive)
{
    QElapsedTimer clock;
    clock.start();
    HealthHistoryView view(drive, QStringLiteral("物理磁盘8  QX M7A0 120G"), nullptr, HealthHistoryView::Everything);
    view.show();
    if (!QTest::qWaitFor([&] { return view.isLoaded(); }, 20000))
        return -1;
    view.repaint();
    return clock.nsecsElapsed() / 1e6;
}

// The database and its log, in bytes, after a checkpoint.
uintmax_t databaseBytes(const std::filesystem::path& file)
{
    std::string error;
    history::HealthStore::Open(file, error);  // closing checkpoints the log
    uintmax_t bytes = std::filesystem::file_size(file);
    for (const char* suffix : {"-wal", "-shm"}) {
        std::error_code missing;
        const uintmax_t more = std::filesystem::file_size(file.string() + suffix, missing);
        bytes += missing ? 0 : more;
    }
    return bytes;
}

int sizes()
{
    const std::filesystem::path folder = *history::HealthStore::DefaultFile();
    for (const bool thinned : {false, true}) {
        const std::filesystem::path file =
            folder.parent_path() / (thinned ? "retained.db" : "unthinned.db");
        std::string error;
        auto store = history::HealthStore::Open(file, error);
        for (int drive = 1; store && drive <= 16; ++drive) {
            // Oldest first, the retention thins what is older than 90 days.
            if (!history_demo::FillHistory(*store, kYear, !thinned, error, 0, drive))
                break;
        }
        if (!store || !error.empty()) {
            std::fprintf(stderr, "%s\n", error.c_str());
            return 1;
        }
        store.reset();
        std::printf("%-62s %8.1f MB\n",
                    thinned ? "16 drives, a year of hourly samples, as the retention keeps it"
                            : "16 drives, a year of hourly samples, every one kept",
                    databaseBytes(file) / 1e6);
    }
    return 0;
}

}  // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (argc == 2 && std::strcmp(argv[1], "--size") == 0)
        return sizes();
    const int rounds = argc == 2 ? std::atoi(argv[1]) : 0;
    if (rounds < 1) {
        std::fprintf(stderr, "usage: quillfence-history-bench ROUNDS | --size\n");
        return 2;
    }
    std::string error;
    auto store = history::HealthStore::Open(*history::HealthStore::DefaultFile(), error);
    QElapsedTimer fill;
    fill.start();
    // Newest first: the retention keeps every sample.
    if (!store || !history_demo::FillHistory(*store, kYear, true, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    const auto stored = store->DriveOf(history_demo::DemoDrive());
    std::printf("%-50s %8lld samples (%.1f s to store)\n", "the drive's history", stored ? stored->samples : 0LL,
                fill.elapsed() / 1000.0);
    store.reset();
    const history::DriveKey empty{"QX M7A0 120G", "NONE", ""};
    std::vector<double> year, none;
    openOnce(history_demo::DemoDrive());  // fonts and the pool's thread, once
    for (int k = 0; k < rounds; ++k) {
        year.push_back(openOnce(history_demo::DemoDrive()));
        none.push_back(openOnce(empty));
    }
    std::printf("%-50s %8.1f ms\n", "history view, a year of hourly samples", median(year));
    std::printf("%-50s %8.1f ms\n", "history view, no samples (reference)", median(none));
    std::printf("(medians of %d interleaved openings)\n", rounds);
    return 0;
}
