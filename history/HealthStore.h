#pragma once
// The health history: an SQLite database of samples and alert events in the
// user's data folder, shared by the window and quillfence-cli. Several
// processes may write at once (write-ahead log, busy time-out); a damaged
// file is set aside under another name and a new database started.
//
// One HealthStore per thread: it holds one connection.

#include "history/HealthAlerts.h"
#include "history/HealthSample.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct sqlite3;

namespace history {

// Every sample is kept this long, then one per drive per day (the last of
// each day, UTC).
constexpr int64_t kKeepEverySampleSeconds = 90 * 24 * 3600;
// How long a writer waits for another process's write to end.
constexpr int kBusyTimeoutMs = 10000;

struct StoredDrive {
    int64_t id = 0;
    DriveKey key;
    int64_t samples = 0;
    int64_t first = 0, last = 0;  // times of the first and last sample
};

// What the charts draw of one sample.
struct SeriesPoint {
    int64_t time = 0;
    std::optional<int> life;
    std::optional<int64_t> temperature;   // ℃
    std::optional<uint64_t> dataWritten;  // bytes
};

struct StoredEvent {
    int64_t time = 0;
    AlertEvent event;
};

class HealthStore {
public:
    ~HealthStore();
    HealthStore(const HealthStore&) = delete;
    HealthStore& operator=(const HealthStore&) = delete;

    // The database file: "health.db" in the user's data folder; nothing when
    // the environment names no such folder.
    static std::optional<std::filesystem::path> DefaultFile();

    // Opens the database, creating it and its folder when missing. A file
    // that is not a database of ours or is damaged is renamed (SetAside())
    // and a new one created. Nothing, with `error` said, when no database
    // could be had.
    static std::unique_ptr<HealthStore> Open(const std::filesystem::path& file, std::string& error);

    // Where a damaged database was put since the last call; each damaged
    // file is reported once.
    std::optional<std::filesystem::path> TakeSetAside();

    // Adds a sample, with the alert events since the drive's previous
    // sample, and thins the drive's old samples: one transaction. The
    // events; nothing (with `error`) when it could not be stored.
    std::optional<std::vector<AlertEvent>> Record(const HealthSample& sample, std::string& error);

    std::vector<StoredDrive> Drives();
    std::optional<StoredDrive> DriveOf(const DriveKey& key);
    // The drive's samples at or after `since`, oldest first.
    std::vector<SeriesPoint> Series(int64_t drive, int64_t since);
    std::vector<HealthSample> Samples(int64_t drive, int64_t since);
    std::vector<StoredEvent> Events(int64_t drive, int64_t since);

    const std::filesystem::path& File() const { return file_; }

private:
    explicit HealthStore(std::filesystem::path file);
    // Opens file_ and sets it up; false with `error` (and `damaged` when the
    // file is not a sound database).
    bool Connect(std::string& error, bool& damaged);
    // One attempt: SQLite's result code.
    int ConnectOnce(std::string& error, bool& damaged);
    void Close();
    // Renames the damaged file (and its log) aside and starts a new one.
    bool Recover(std::string& error);
    std::optional<std::vector<AlertEvent>> RecordOnce(const HealthSample& sample, std::string& error, bool& damaged);

    std::filesystem::path file_;
    sqlite3* db_ = nullptr;
    std::optional<std::filesystem::path> setAside_;
};

// Seconds since 1970 as "2024-05-01T12:00:00Z".
std::string UtcText(int64_t time);
// "2024-05-01", "2024-05-01T12:00", "2024-05-01T12:00:00", with a trailing
// "Z" for UTC, otherwise local time; nothing for any other text.
std::optional<int64_t> ParseTime(const std::string& text);

}  // namespace history
