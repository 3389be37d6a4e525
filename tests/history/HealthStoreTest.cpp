// The health history's database: what goes in comes out, old samples are
// thinned to one a day, a damaged file is set aside once, times read and
// written.

#include "history/HealthStore.h"

#include "SmartDiskBuilder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <thread>

using smart::testing::RawAt;
using smart::testing::SmartDiskBuilder;

namespace {

constexpr int64_t kDay = 24 * 3600;
// 2024-03-01T00:00:00Z
constexpr int64_t kStart = 1709251200;

history::HealthSample sample(int64_t time, int life, uint64_t badBlocks = 3)
{
    PhyDiskInfo disk = SmartDiskBuilder("QY-M7A0-128G", true)
                           .Attribute(0, 231, RawAt(0), static_cast<uint8_t>(life))
                           .Attribute(1, 169, RawAt(badBlocks, 2))
                           .Attribute(2, 194, {38, 0, 20, 0, 50, 0})
                           .Attribute(3, 241, RawAt(2000000))
                           .Disk();
    disk.valid = 1;
    disk.wwn = 0x5001b44e8f9a0b1cULL;
    std::strcpy(disk.serialNumber, "QV1");
    return *history::SampleOf(disk, PowerMode::ActiveOrIdle, time);
}

class HealthStoreTest : public testing::Test {
protected:
    std::filesystem::path folder = std::filesystem::path(testing::TempDir()) /
                                   testing::UnitTest::GetInstance()->current_test_info()->name();
    std::filesystem::path file = folder / "health.db";

    std::unique_ptr<history::HealthStore> open()
    {
        std::string error;
        auto store = history::HealthStore::Open(file, error);
        EXPECT_TRUE(store) << error;
        return store;
    }
    static void record(history::HealthStore& store, const history::HealthSample& sample)
    {
        std::string error;
        ASSERT_TRUE(store.Record(sample, error)) << error;
    }
};

}  // namespace

TEST_F(HealthStoreTest, ASampleComesBackAsItWentInWithTheEventsSinceThePreviousOne)
{
    auto store = open();
    record(*store, sample(kStart, 90));
    std::string error;
    const auto events = store->Record(sample(kStart + 3600, 25, 9), error);
    ASSERT_TRUE(events) << error;
    EXPECT_EQ(events->size(), 2u);

    const auto drive = store->DriveOf(sample(0, 0).drive);
    ASSERT_TRUE(drive);
    EXPECT_EQ(drive->key.wwn, "5001b44e8f9a0b1c");
    const auto samples = store->Samples(drive->id, INT64_MIN);
    ASSERT_EQ(samples.size(), 2u);
    const history::HealthSample expected = sample(kStart + 3600, 25, 9);
    EXPECT_EQ(samples[1].time, expected.time);
    EXPECT_EQ(samples[1].life, 25);
    EXPECT_EQ(samples[1].level, smart::HealthLevel::Warning);
    EXPECT_EQ(samples[1].powerMode, "active_or_idle");
    EXPECT_EQ(samples[1].rows, expected.rows);
    EXPECT_FALSE(expected.rows.empty());

    const auto series = store->Series(drive->id, kStart + 1);
    ASSERT_EQ(series.size(), 1u);
    EXPECT_EQ(series[0].temperature, 38);
    EXPECT_EQ(series[0].dataWritten, 2000000u * 512);

    const auto stored = store->Events(drive->id, INT64_MIN);
    ASSERT_EQ(stored.size(), 2u);
    EXPECT_EQ(stored[0].time, kStart + 3600);
    EXPECT_EQ(stored[0].event, (*events)[0]);
    EXPECT_EQ(history::AlertText(stored[1].event), "总坏块数由3增至9");
}

TEST_F(HealthStoreTest, PastNinetyDaysOneSampleADayIsKeptTheLastOfTheDay)
{
    auto store = open();
    // Four samples a day for 100 days.
    for (int64_t day = 0; day < 100; ++day) {
        for (int64_t hour : {1, 7, 13, 19})
            record(*store, sample(kStart + day * kDay + hour * 3600, 90));
    }
    const auto drive = store->DriveOf(sample(0, 0).drive);
    ASSERT_TRUE(drive);
    const auto series = store->Series(drive->id, INT64_MIN);
    const int64_t newest = kStart + 99 * kDay + 19 * 3600;
    const int64_t cutoff = newest - history::kKeepEverySampleSeconds;
    int old = 0, recent = 0;
    for (const auto& point : series) {
        if (point.time < cutoff) {
            ++old;
            EXPECT_EQ((point.time - kStart) % kDay, 19 * 3600) << "the last of its day";
        } else {
            ++recent;
        }
    }
    // Days 0 to 9 lie before the cutoff (19:00 of day 9 itself is on it).
    EXPECT_EQ(old, 9);
    EXPECT_EQ(recent, 4 * 90 + 1);
}

TEST_F(HealthStoreTest, ADamagedFileIsSetAsideOnceAndANewDatabaseStarted)
{
    std::filesystem::create_directories(folder);
    const std::string garbage(8192, '\x5a');
    std::ofstream(file, std::ios::binary) << garbage;
    auto store = open();
    ASSERT_TRUE(store);
    const auto aside = store->TakeSetAside();
    ASSERT_TRUE(aside);
    EXPECT_EQ(aside->parent_path(), folder);
    EXPECT_EQ(aside->filename().string().rfind("health.db.damaged-", 0), 0u);
    std::ifstream kept(*aside, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), garbage);
    EXPECT_FALSE(store->TakeSetAside()) << "said once";
    record(*store, sample(kStart, 90));
    EXPECT_EQ(store->Drives().size(), 1u);
    // Opened again, the new file is sound and nothing more is set aside.
    store.reset();
    store = open();
    EXPECT_FALSE(store->TakeSetAside());
    EXPECT_EQ(store->Drives().size(), 1u);
}

TEST_F(HealthStoreTest, ADatabaseWrittenOverBetweenTwoRunsIsSetAside)
{
    auto store = open();
    record(*store, sample(kStart, 90));
    store.reset();
    // Another program writes over the file's first page.
    {
        std::fstream damage(file, std::ios::in | std::ios::out | std::ios::binary);
        damage.write(std::string(4096, '\x11').data(), 4096);
    }
    store = open();
    EXPECT_TRUE(store->TakeSetAside());
    record(*store, sample(kStart + 3600, 80));
    const auto drives = store->Drives();
    ASSERT_EQ(drives.size(), 1u);
    EXPECT_EQ(drives[0].samples, 1) << "a new database";
}

TEST_F(HealthStoreTest, TwoWritersAtOnceLoseNoSample)
{
    open();  // created before the writers race
    auto writer = [this](int64_t offset) {
        std::string error;
        auto store = history::HealthStore::Open(file, error);
        ASSERT_TRUE(store) << error;
        for (int k = 0; k < 50; ++k)
            ASSERT_TRUE(store->Record(sample(kStart + offset + k * 60, 90), error)) << error;
    };
    std::thread a(writer, 0), b(writer, 30);
    a.join();
    b.join();
    auto store = open();
    EXPECT_EQ(store->Drives().at(0).samples, 100);
}

TEST(HistoryTimes, WrittenInUtcAndReadInEitherForm)
{
    EXPECT_EQ(history::UtcText(kStart), "2024-03-01T00:00:00Z");
    EXPECT_EQ(history::UtcText(951782400 + 86399), "2000-02-29T23:59:59Z");
    EXPECT_EQ(history::ParseTime("2024-03-01Z"), kStart);
    EXPECT_EQ(history::ParseTime("2024-03-01T12:30Z"), kStart + 12 * 3600 + 30 * 60);
    EXPECT_EQ(history::ParseTime("2024-03-01T12:30:15Z"), kStart + 12 * 3600 + 30 * 60 + 15);
    EXPECT_TRUE(history::ParseTime("2024-03-01"));  // local time
    for (const char* bad : {"", "2024-3-1", "2024-13-01", "2024-03-01T25:00", "2024-03-01 12:00", "yesterday",
                            "2024-03-01T12:30:15Zx"})
        EXPECT_FALSE(history::ParseTime(bad)) << bad;
}
