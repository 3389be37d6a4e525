#include "history/HealthStore.h"

#include "files/UserFolders.h"
#include "history/SampleRows.h"

#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <thread>
#include <ctime>
#include <utility>

namespace history {

namespace {

constexpr char kFileName[] = "health.db";
// "QFH1" in the database header: a file of ours.
constexpr int kApplicationId = 0x51464831;
constexpr int kSchemaVersion = 1;
constexpr int64_t kDaySeconds = 24 * 3600;

const char kSchema[] = R"(
CREATE TABLE IF NOT EXISTS drives(
  id INTEGER PRIMARY KEY,
  model TEXT NOT NULL,
  serial TEXT NOT NULL,
  wwn TEXT NOT NULL DEFAULT '',
  UNIQUE(model, serial, wwn));
CREATE TABLE IF NOT EXISTS samples(
  id INTEGER PRIMARY KEY,
  drive INTEGER NOT NULL REFERENCES drives(id),
  time INTEGER NOT NULL,
  life INTEGER,
  level TEXT,
  power TEXT,
  temperature INTEGER,
  data_written INTEGER,
  rows BLOB NOT NULL,
  rows_length INTEGER NOT NULL);
CREATE INDEX IF NOT EXISTS samples_by_drive ON samples(drive, time);
CREATE TABLE IF NOT EXISTS events(
  id INTEGER PRIMARY KEY,
  drive INTEGER NOT NULL REFERENCES drives(id),
  time INTEGER NOT NULL,
  kind TEXT NOT NULL,
  attribute_id INTEGER NOT NULL,
  name TEXT NOT NULL,
  before_value INTEGER,
  after_value INTEGER,
  before_word TEXT NOT NULL,
  after_word TEXT NOT NULL,
  limit_value INTEGER,
  unit TEXT NOT NULL,
  bit INTEGER NOT NULL);
CREATE INDEX IF NOT EXISTS events_by_drive ON events(drive, time);
)";

bool IsDamage(int code)
{
    const int primary = code & 0xFF;
    return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB;
}

// One prepared statement; every call notes the first failure.
class Statement {
public:
    Statement(sqlite3* db, const char* sql, int& code) : code_(code)
    {
        if (code_ == SQLITE_OK)
            code_ = sqlite3_prepare_v2(db, sql, -1, &statement_, nullptr);
    }
    ~Statement() { sqlite3_finalize(statement_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    Statement& Bind(int index, int64_t value)
    {
        return Check(statement_ ? sqlite3_bind_int64(statement_, index, value) : SQLITE_MISUSE);
    }
    Statement& Bind(int index, const std::string& text)
    {
        return Check(statement_ ? sqlite3_bind_text(statement_, index, text.data(), static_cast<int>(text.size()),
                                                    SQLITE_TRANSIENT)
                                : SQLITE_MISUSE);
    }
    template <typename T>
    Statement& Bind(int index, const std::optional<T>& value)
    {
        if (value)
            return Bind(index, static_cast<int64_t>(*value));
        return Check(statement_ ? sqlite3_bind_null(statement_, index) : SQLITE_MISUSE);
    }
    Statement& BindBlob(int index, const std::string& bytes)
    {
        return Check(statement_ ? sqlite3_bind_blob(statement_, index, bytes.data(), static_cast<int>(bytes.size()),
                                                    SQLITE_TRANSIENT)
                                : SQLITE_MISUSE);
    }
    // True while a row is there.
    bool Step()
    {
        if (code_ != SQLITE_OK || !statement_)
            return false;
        const int step = sqlite3_step(statement_);
        if (step == SQLITE_ROW)
            return true;
        if (step != SQLITE_DONE)
            code_ = step;
        return false;
    }
    bool Null(int column) const { return sqlite3_column_type(statement_, column) == SQLITE_NULL; }
    int64_t Int(int column) const { return sqlite3_column_int64(statement_, column); }
    std::optional<int64_t> OptionalInt(int column) const
    {
        return Null(column) ? std::nullopt : std::optional<int64_t>(Int(column));
    }
    std::string Text(int column) const
    {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement_, column));
        return text ? std::string(text, static_cast<size_t>(sqlite3_column_bytes(statement_, column))) : std::string();
    }
    std::string Blob(int column) const
    {
        const auto* bytes = static_cast<const char*>(sqlite3_column_blob(statement_, column));
        return bytes ? std::string(bytes, static_cast<size_t>(sqlite3_column_bytes(statement_, column)))
                     : std::string();
    }

private:
    Statement& Check(int code)
    {
        if (code_ == SQLITE_OK && code != SQLITE_OK)
            code_ = code;
        return *this;
    }
    sqlite3_stmt* statement_ = nullptr;
    int& code_;
};

int Execute(sqlite3* db, const char* sql)
{
    return sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
}

std::string Said(sqlite3* db, int code)
{
    return db ? sqlite3_errmsg(db) : sqlite3_errstr(code);
}

template <typename T>
std::optional<T> Optional(const std::optional<int64_t>& value)
{
    return value ? std::optional<T>(static_cast<T>(*value)) : std::nullopt;
}

std::optional<smart::HealthLevel> LevelOfWord(const std::string& word)
{
    for (smart::HealthLevel level : {smart::HealthLevel::Warning, smart::HealthLevel::Normal, smart::HealthLevel::Good}) {
        if (word == smart::HealthLevelWord(level))
            return level;
    }
    return std::nullopt;
}

// A name beside `file` that no file has yet: "health.db.damaged-20240501T120000Z".
std::filesystem::path AsideName(const std::filesystem::path& file)
{
    std::string stamp;
    for (char c : UtcText(Now())) {
        if (c != '-' && c != ':')
            stamp += c;
    }
    std::filesystem::path aside = file.string() + ".damaged-" + stamp;
    for (int n = 2; std::filesystem::exists(aside); ++n)
        aside = file.string() + ".damaged-" + stamp + "-" + std::to_string(n);
    return aside;
}

// Days since 1970-01-01 of a civil date (proleptic Gregorian).
int64_t DaysFromCivil(int64_t year, unsigned month, unsigned day)
{
    year -= month <= 2;
    const int64_t era = (year >= 0 ? year : year - 399) / 400;
    const unsigned yearOfEra = static_cast<unsigned>(year - era * 400);
    const unsigned dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + static_cast<int64_t>(dayOfEra) - 719468;
}

}  // namespace

HealthStore::HealthStore(std::filesystem::path file) : file_(std::move(file)) {}

HealthStore::~HealthStore()
{
    Close();
}

std::optional<std::filesystem::path> HealthStore::DefaultFile()
{
    const auto folder = files::userDataFolder();
    if (!folder)
        return std::nullopt;
    return *folder / kFileName;
}

std::unique_ptr<HealthStore> HealthStore::Open(const std::filesystem::path& file, std::string& error)
{
    std::error_code ignored;
    std::filesystem::create_directories(file.parent_path(), ignored);
    std::unique_ptr<HealthStore> store(new HealthStore(file));
    bool damaged = false;
    if (store->Connect(error, damaged))
        return store;
    if (damaged && store->Recover(error))
        return store;
    return nullptr;
}

void HealthStore::Close()
{
    if (db_)
        sqlite3_close_v2(db_);
    db_ = nullptr;
}

bool HealthStore::Connect(std::string& error, bool& damaged)
{
    // Setting up a new file takes locks that SQLite's busy handler does not
    // wait for (the switch to the write-ahead log): a second process that
    // creates it at the same moment tries again while the time-out lasts.
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::milliseconds(kBusyTimeoutMs);
    int code = SQLITE_BUSY;
    while ((code = ConnectOnce(error, damaged)) == SQLITE_BUSY && std::chrono::steady_clock::now() < giveUp)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return code == SQLITE_OK;
}

int HealthStore::ConnectOnce(std::string& error, bool& damaged)
{
    Close();
    damaged = false;
    int code = sqlite3_open_v2(file_.string().c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (code == SQLITE_OK)
        code = sqlite3_busy_timeout(db_, kBusyTimeoutMs);
    if (code == SQLITE_OK)
        code = Execute(db_, "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;");
    int applicationId = 0;
    if (code == SQLITE_OK) {
        Statement read(db_, "PRAGMA application_id", code);
        if (read.Step())
            applicationId = static_cast<int>(read.Int(0));
    }
    if (code == SQLITE_OK && applicationId != 0 && applicationId != kApplicationId) {
        // Another program's database under our name: not ours to change.
        damaged = true;
        error = file_.string() + " is not a health history database";
        Close();
        return SQLITE_NOTADB;
    }
    if (code == SQLITE_OK && applicationId == 0) {
        code = Execute(db_, "BEGIN IMMEDIATE");
        if (code == SQLITE_OK)
            code = Execute(db_, kSchema);
        if (code == SQLITE_OK)
            code = Execute(db_, ("PRAGMA application_id=" + std::to_string(kApplicationId) +
                                 "; PRAGMA user_version=" + std::to_string(kSchemaVersion) + "; COMMIT")
                                    .c_str());
        if (code != SQLITE_OK)
            Execute(db_, "ROLLBACK");
    }
    if (code == SQLITE_OK)
        return SQLITE_OK;
    damaged = IsDamage(code);
    error = file_.string() + ": " + Said(db_, code);
    Close();
    return code & 0xFF;
}

bool HealthStore::Recover(std::string& error)
{
    Close();
    // Another process may have set it aside already: a sound file now at the
    // name is that process's new database.
    bool damaged = false;
    if (Connect(error, damaged))
        return true;
    if (!damaged)
        return false;
    const std::filesystem::path aside = AsideName(file_);
    std::error_code failure;
    std::filesystem::rename(file_, aside, failure);
    if (failure) {
        error = file_.string() + " is damaged and could not be set aside: " + failure.message();
        return false;
    }
    // Its log and index go with it: a new database must not take them up.
    for (const char* suffix : {"-wal", "-shm"}) {
        std::error_code ignored;
        std::filesystem::rename(file_.string() + suffix, aside.string() + suffix, ignored);
    }
    setAside_ = aside;
    return Connect(error, damaged);
}

std::optional<std::filesystem::path> HealthStore::TakeSetAside()
{
    return std::exchange(setAside_, std::nullopt);
}

std::optional<std::vector<AlertEvent>> HealthStore::Record(const HealthSample& sample, std::string& error)
{
    bool damaged = false;
    auto events = db_ ? RecordOnce(sample, error, damaged) : std::nullopt;
    if (!events && (damaged || !db_) && Recover(error))
        events = RecordOnce(sample, error, damaged);
    return events;
}

std::optional<std::vector<AlertEvent>> HealthStore::RecordOnce(const HealthSample& sample, std::string& error,
                                                                bool& damaged)
{
    int code = Execute(db_, "BEGIN IMMEDIATE");
    int64_t drive = 0;
    {
        Statement add(db_, "INSERT OR IGNORE INTO drives(model, serial, wwn) VALUES(?1, ?2, ?3)", code);
        add.Bind(1, sample.drive.model).Bind(2, sample.drive.serial).Bind(3, sample.drive.wwn).Step();
        Statement find(db_, "SELECT id FROM drives WHERE model = ?1 AND serial = ?2 AND wwn = ?3", code);
        if (find.Bind(1, sample.drive.model).Bind(2, sample.drive.serial).Bind(3, sample.drive.wwn).Step())
            drive = find.Int(0);
    }
    std::vector<AlertEvent> events;
    {
        Statement previous(db_,
                           "SELECT life, level, rows, rows_length FROM samples WHERE drive = ?1 "
                           "ORDER BY time DESC, id DESC LIMIT 1",
                           code);
        if (previous.Bind(1, drive).Step()) {
            HealthSample before;
            before.life = Optional<int>(previous.OptionalInt(0));
            before.level = LevelOfWord(previous.Text(1));
            before.rows = DecodeRows(previous.Blob(2), previous.Int(3));
            events = AlertsBetween(before, sample);
        }
    }
    const EncodedRows rows = EncodeRows(sample.rows);
    {
        Statement add(db_,
                      "INSERT INTO samples(drive, time, life, level, power, temperature, data_written, rows, "
                      "rows_length) VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9)",
                      code);
        const std::optional<uint64_t> written = DataWrittenOf(sample.rows);
        add.Bind(1, drive).Bind(2, sample.time).Bind(3, sample.life);
        if (sample.level)
            add.Bind(4, std::string(smart::HealthLevelWord(*sample.level)));
        if (!sample.powerMode.empty())
            add.Bind(5, sample.powerMode);
        add.Bind(6, TemperatureOf(sample.rows));
        if (written && *written <= static_cast<uint64_t>(INT64_MAX))
            add.Bind(7, static_cast<int64_t>(*written));
        add.BindBlob(8, rows.bytes).Bind(9, static_cast<int64_t>(rows.length));
        add.Step();
    }
    for (const AlertEvent& event : events) {
        Statement add(db_,
                      "INSERT INTO events(drive, time, kind, attribute_id, name, before_value, after_value, "
                      "before_word, after_word, limit_value, unit, bit) "
                      "VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12)",
                      code);
        add.Bind(1, drive).Bind(2, sample.time).Bind(3, std::string(AlertKindWord(event.kind)));
        add.Bind(4, int64_t{event.attributeId}).Bind(5, event.name).Bind(6, event.before).Bind(7, event.after);
        add.Bind(8, event.beforeWord).Bind(9, event.afterWord).Bind(10, event.limit).Bind(11, event.unit);
        add.Bind(12, int64_t{event.bit}).Step();
    }
    {
        // Past the time every sample is kept, a sample goes when a later one
        // of the same day (UTC) is there.
        Statement thin(db_,
                       "DELETE FROM samples WHERE drive = ?1 AND time < ?2 AND EXISTS (SELECT 1 FROM samples t "
                       "WHERE t.drive = ?1 AND t.time >= samples.time AND t.time < (samples.time / ?3 + 1) * ?3 "
                       "AND (t.time > samples.time OR t.id > samples.id))",
                       code);
        thin.Bind(1, drive).Bind(2, sample.time - kKeepEverySampleSeconds).Bind(3, kDaySeconds).Step();
    }
    if (code == SQLITE_OK)
        code = Execute(db_, "COMMIT");
    if (code == SQLITE_OK)
        return events;
    damaged = IsDamage(code);
    error = file_.string() + ": " + Said(db_, code);
    Execute(db_, "ROLLBACK");
    return std::nullopt;
}

std::vector<StoredDrive> HealthStore::Drives()
{
    std::vector<StoredDrive> drives;
    if (!db_)
        return drives;
    int code = SQLITE_OK;
    Statement read(db_,
                   "SELECT d.id, d.model, d.serial, d.wwn, count(s.id), min(s.time), max(s.time) FROM drives d "
                   "LEFT JOIN samples s ON s.drive = d.id GROUP BY d.id ORDER BY d.id",
                   code);
    while (read.Step())
        drives.push_back({read.Int(0), {read.Text(1), read.Text(2), read.Text(3)}, read.Int(4), read.Int(5), read.Int(6)});
    return drives;
}

std::optional<StoredDrive> HealthStore::DriveOf(const DriveKey& key)
{
    for (const StoredDrive& drive : Drives()) {
        if (drive.key == key)
            return drive;
    }
    return std::nullopt;
}

std::vector<SeriesPoint> HealthStore::Series(int64_t drive, int64_t since)
{
    std::vector<SeriesPoint> points;
    if (!db_)
        return points;
    int code = SQLITE_OK;
    Statement read(db_,
                   "SELECT time, life, temperature, data_written FROM samples WHERE drive = ?1 AND time >= ?2 "
                   "ORDER BY time, id",
                   code);
    read.Bind(1, drive).Bind(2, since);
    while (read.Step())
        points.push_back({read.Int(0), Optional<int>(read.OptionalInt(1)), read.OptionalInt(2),
                          Optional<uint64_t>(read.OptionalInt(3))});
    return points;
}

std::vector<HealthSample> HealthStore::Samples(int64_t drive, int64_t since)
{
    std::vector<HealthSample> samples;
    if (!db_)
        return samples;
    int code = SQLITE_OK;
    Statement read(db_,
                   "SELECT s.time, d.model, d.serial, d.wwn, s.life, s.level, s.power, s.rows, s.rows_length "
                   "FROM samples s JOIN drives d ON d.id = s.drive WHERE s.drive = ?1 AND s.time >= ?2 "
                   "ORDER BY s.time, s.id",
                   code);
    read.Bind(1, drive).Bind(2, since);
    while (read.Step()) {
        HealthSample sample;
        sample.time = read.Int(0);
        sample.drive = {read.Text(1), read.Text(2), read.Text(3)};
        sample.life = Optional<int>(read.OptionalInt(4));
        sample.level = LevelOfWord(read.Text(5));
        sample.powerMode = read.Text(6);
        sample.rows = DecodeRows(read.Blob(7), read.Int(8));
        samples.push_back(std::move(sample));
    }
    return samples;
}

std::vector<StoredEvent> HealthStore::Events(int64_t drive, int64_t since)
{
    std::vector<StoredEvent> events;
    if (!db_)
        return events;
    int code = SQLITE_OK;
    Statement read(db_,
                   "SELECT time, kind, attribute_id, name, before_value, after_value, before_word, after_word, "
                   "limit_value, unit, bit FROM events WHERE drive = ?1 AND time >= ?2 ORDER BY time, id",
                   code);
    read.Bind(1, drive).Bind(2, since);
    while (read.Step()) {
        const std::optional<AlertKind> kind = AlertKindOfWord(read.Text(1));
        if (!kind)
            continue;  // a kind a later version added
        StoredEvent stored;
        stored.time = read.Int(0);
        AlertEvent& event = stored.event;
        event.kind = *kind;
        event.attributeId = static_cast<int>(read.Int(2));
        event.name = read.Text(3);
        event.before = Optional<uint64_t>(read.OptionalInt(4));
        event.after = Optional<uint64_t>(read.OptionalInt(5));
        event.beforeWord = read.Text(6);
        event.afterWord = read.Text(7);
        event.limit = Optional<uint64_t>(read.OptionalInt(8));
        event.unit = read.Text(9);
        event.bit = static_cast<int>(read.Int(10));
        events.push_back(std::move(stored));
    }
    return events;
}

std::string UtcText(int64_t time)
{
    const int64_t days = time >= 0 ? time / kDaySeconds : (time - kDaySeconds + 1) / kDaySeconds;
    const int64_t seconds = time - days * kDaySeconds;
    // Civil date from days since 1970-01-01.
    const int64_t z = days + 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned dayOfEra = static_cast<unsigned>(z - era * 146097);
    const unsigned yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const unsigned mp = (5 * dayOfYear + 2) / 153;
    const unsigned day = dayOfYear - (153 * mp + 2) / 5 + 1;
    const unsigned month = mp < 10 ? mp + 3 : mp - 9;
    const int64_t year = static_cast<int64_t>(yearOfEra) + era * 400 + (month <= 2);
    char text[40];
    std::snprintf(text, sizeof text, "%04lld-%02u-%02uT%02d:%02d:%02dZ", static_cast<long long>(year), month, day,
                  static_cast<int>(seconds / 3600), static_cast<int>(seconds / 60 % 60), static_cast<int>(seconds % 60));
    return text;
}

std::optional<int64_t> ParseTime(const std::string& text)
{
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, used = 0;
    const char* begin = text.c_str();
    if (std::sscanf(begin, "%4d-%2d-%2d%n", &year, &month, &day, &used) != 3 || used != 10)
        return std::nullopt;
    size_t at = 10;
    if (at < text.size() && text[at] == 'T') {
        int more = 0;
        if (std::sscanf(begin + at, "T%2d:%2d%n", &hour, &minute, &more) != 2 || more != 6)
            return std::nullopt;
        at += 6;
        if (at < text.size() && text[at] == ':') {
            if (std::sscanf(begin + at, ":%2d%n", &second, &more) != 1 || more != 3)
                return std::nullopt;
            at += 3;
        }
    }
    const bool utc = at < text.size() && text[at] == 'Z';
    if (utc)
        ++at;
    if (at != text.size() || month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 || minute > 59 ||
        second > 60)
        return std::nullopt;
    if (utc)
        return DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) * kDaySeconds +
               hour * 3600 + minute * 60 + second;
    std::tm local{};
    local.tm_year = year - 1900;
    local.tm_mon = month - 1;
    local.tm_mday = day;
    local.tm_hour = hour;
    local.tm_min = minute;
    local.tm_sec = second;
    local.tm_isdst = -1;
    const std::time_t time = std::mktime(&local);
    if (time == static_cast<std::time_t>(-1))
        return std::nullopt;
    return static_cast<int64_t>(time);
}

}  // namespace history
