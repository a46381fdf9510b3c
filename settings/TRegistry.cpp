#include "TRegistry.h"

#include "Directories.h"

#include <cctype>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <sqlite3.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>

namespace {

// Value types, numbered as the registry numbers them. The system writes only
// strings; other tools may put other types into the hive.
constexpr int RegString = 1;
constexpr int RegExpandString = 2;

constexpr long long RootKey = 1;
// Stands for every key while the hive cannot be opened.
constexpr long long LostKey = -1;
// Long enough to ride out another instance's save, short enough that a
// stuck lock shows up as an error instead of a hung window.
constexpr int BusyTimeoutMs = 5000;

// Names compare with NOCASE: ASCII letters only, as the registry compares
// them; the stored name keeps the case it was created with. The root key
// (id 1) has parent 0 and an empty name.
const char *const Schema = "CREATE TABLE IF NOT EXISTS keys("
                           " id INTEGER PRIMARY KEY,"
                           " parent INTEGER NOT NULL,"
                           " name TEXT NOT NULL COLLATE NOCASE,"
                           " UNIQUE(parent, name));"
                           "CREATE TABLE IF NOT EXISTS vals("
                           " key INTEGER NOT NULL,"
                           " name TEXT NOT NULL COLLATE NOCASE,"
                           " type INTEGER NOT NULL,"
                           " data BLOB,"
                           " PRIMARY KEY(key, name)) WITHOUT ROWID;"
                           "INSERT OR IGNORE INTO keys(id, parent, name) VALUES(1, 0, '');";

const char *const FindKeySql = "SELECT id FROM keys WHERE parent = ?1 AND name = ?2";
const char *const AddKeySql = "INSERT INTO keys(parent, name) VALUES(?1, ?2)";
const char *const KeyNamesSql = "SELECT name FROM keys WHERE parent = ?1 ORDER BY name";
const char *const ValueNamesSql = "SELECT name FROM vals WHERE key = ?1 ORDER BY name";
const char *const ValueTypeSql = "SELECT type FROM vals WHERE key = ?1 AND name = ?2";
const char *const ReadValueSql = "SELECT type, data FROM vals WHERE key = ?1 AND name = ?2";
const char *const WriteValueSql =
    "INSERT INTO vals(key, name, type, data) VALUES(?1, ?2, 1, ?3)"
    " ON CONFLICT(key, name) DO UPDATE SET type = excluded.type, data = excluded.data";
const char *const Statements[] = {FindKeySql,   AddKeySql,    KeyNamesSql,  ValueNamesSql,
                                  ValueTypeSql, ReadValueSql, WriteValueSql};

// The process-wide connection to the hive. The hive's path is fixed when it
// first opens; it never reopens, so key rows handed out stay valid.
class THive {
public:
    static THive &Instance() {
        static THive hive;
        return hive;
    }
    ~THive();

    // The connection, or nullptr when the hive can be neither opened nor created.
    sqlite3 *Db() {
        if (!FOpened)
            Open(TRegistry::HivePath());
        return FDb;
    }

    // A cached statement (TQuery resets it after use); nullptr when it
    // cannot be prepared.
    sqlite3_stmt *Statement(const char *Sql) {
        if (Db() == nullptr)
            return nullptr;
        auto &statement = FStatements[Sql];
        if (statement == nullptr && sqlite3_prepare_v3(FDb, Sql, -1, SQLITE_PREPARE_PERSISTENT,
                                                       &statement, nullptr) != SQLITE_OK)
            statement = nullptr;
        return statement;
    }

    bool Exec(const char *Sql) {
        return Db() != nullptr && sqlite3_exec(FDb, Sql, nullptr, nullptr, nullptr) == SQLITE_OK;
    }

    int Depth = 0;                 // nesting of TRegistryTransaction
    bool Active = false;           // the outermost one holds an open write transaction
    std::string PendingDamageNote; // for CheckHive

private:
    THive() = default;
    void Open(const std::string &Path);
    sqlite3 *Connect(const std::string &Path);
    bool MoveAside(const std::string &Path, const std::string &Reason);

    sqlite3 *FDb = nullptr;
    bool FOpened = false;
    std::unordered_map<const char *, sqlite3_stmt *> FStatements;
};

// Resets its statement on every way out, so the cached one is ready again.
class TQuery {
public:
    explicit TQuery(const char *Sql) : FStatement(THive::Instance().Statement(Sql)) {}
    ~TQuery() {
        if (FStatement != nullptr) {
            sqlite3_reset(FStatement);
            sqlite3_clear_bindings(FStatement);
        }
    }
    TQuery(const TQuery &) = delete;
    TQuery &operator=(const TQuery &) = delete;

    void Bind(int Index, long long Value) {
        if (FStatement != nullptr)
            sqlite3_bind_int64(FStatement, Index, Value);
    }
    void Bind(int Index, const std::string &Value) {
        if (FStatement != nullptr)
            sqlite3_bind_text64(FStatement, Index, Value.data(), Value.size(), SQLITE_STATIC,
                                SQLITE_UTF8);
    }
    // SQLITE_ROW, SQLITE_DONE or an error code.
    int Step() { return FStatement == nullptr ? SQLITE_ERROR : sqlite3_step(FStatement); }
    long long Integer(int Column) const { return sqlite3_column_int64(FStatement, Column); }
    std::string Text(int Column) const {
        const auto *text = sqlite3_column_blob(FStatement, Column);
        const int size = sqlite3_column_bytes(FStatement, Column);
        return text == nullptr ? std::string() : std::string(static_cast<const char *>(text), size);
    }

private:
    sqlite3_stmt *FStatement;
};

// A busy, locked or unreadable hive is not damaged and must never be moved
// aside: only these codes tell that the file itself is wrong.
bool IsUnusableCode(int Code) {
    Code &= 0xFF;
    return Code == SQLITE_NOTADB || Code == SQLITE_CORRUPT || Code == SQLITE_ERROR;
}

// The reason a stored hive cannot be used, "" when it can or when that cannot
// be told now (busy, locked, unreadable). Tests, in this order: that SQLite
// finds it sound, that it holds no tables but ours, and that every statement
// the store runs can be prepared on the tables it has.
std::string Unusable(sqlite3 *Db) {
    sqlite3_stmt *check = nullptr;
    std::string reason;
    int rc = sqlite3_prepare_v2(Db, "PRAGMA quick_check", -1, &check, nullptr);
    if (rc == SQLITE_OK && (rc = sqlite3_step(check)) == SQLITE_ROW) {
        const auto *first = reinterpret_cast<const char *>(sqlite3_column_text(check, 0));
        if (first == nullptr || std::string(first) != "ok")
            reason = "it is damaged: " + std::string(first == nullptr ? "" : first);
    } else if ((rc & 0xFF) == SQLITE_NOTADB || (rc & 0xFF) == SQLITE_CORRUPT) {
        reason = "it is damaged: " + std::string(sqlite3_errmsg(Db));
    }
    sqlite3_finalize(check);
    if (!reason.empty() || rc != SQLITE_ROW)
        return reason;
    check = nullptr;
    rc = sqlite3_prepare_v2(Db,
                            "SELECT count(*), count(*) FILTER (WHERE name IN ('keys', 'vals'))"
                            " FROM sqlite_schema WHERE type IN ('table', 'view')",
                            -1, &check, nullptr);
    const bool counted = rc == SQLITE_OK && sqlite3_step(check) == SQLITE_ROW;
    const int tables = counted ? sqlite3_column_int(check, 0) : 0;
    const int ours = counted ? sqlite3_column_int(check, 1) : 0;
    sqlite3_finalize(check);
    if (tables == 0)
        return ""; // a new hive: it gets its tables next
    if (ours < 2)
        return "it holds tables of another program";
    for (const char *sql : Statements) {
        sqlite3_stmt *statement = nullptr;
        rc = sqlite3_prepare_v2(Db, sql, -1, &statement, nullptr);
        sqlite3_finalize(statement);
        if (rc != SQLITE_OK && IsUnusableCode(rc))
            return "its tables are not this program's: " + std::string(sqlite3_errmsg(Db));
    }
    return "";
}

// The reason the hive cannot be a file at all ("" when it is one or is missing).
std::string NotAFile(const std::string &Path) {
    struct stat status {};
    if (::stat(Path.c_str(), &status) != 0 || S_ISREG(status.st_mode))
        return "";
    return S_ISDIR(status.st_mode) ? "it is a folder, not a file" : "it is not a regular file";
}

// Holds an exclusive lock on the hive's folder while alive, so programs
// starting at once check and move a hive one after the other, and a later
// one finds the fresh hive of the first and leaves it be. No lock when the
// folder cannot be opened.
class TFolderLock {
public:
    explicit TFolderLock(const std::filesystem::path &Folder)
        : FFd(::open(Folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
        if (FFd >= 0)
            ::flock(FFd, LOCK_EX);
    }
    ~TFolderLock() {
        if (FFd >= 0)
            ::close(FFd);
    }
    TFolderLock(const TFolderLock &) = delete;
    TFolderLock &operator=(const TFolderLock &) = delete;

private:
    int FFd;
};

// Path as the path part of an SQLite URI: everything but unreserved
// characters and slashes percent-encoded.
std::string UriPath(const std::string &Path) {
    static const char Hex[] = "0123456789ABCDEF";
    std::string uri;
    for (const unsigned char c : Path) {
        if (std::isalnum(c) || c == '/' || c == '-' || c == '.' || c == '_' || c == '~') {
            uri += static_cast<char>(c);
        } else {
            uri += '%';
            uri += Hex[c >> 4];
            uri += Hex[c & 0xF];
        }
    }
    return uri;
}

std::string TimeStamp() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
    return text;
}

sqlite3 *OpenDb(const std::string &Name, int Flags) {
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(Name.c_str(), &db, Flags, nullptr) != SQLITE_OK) {
        sqlite3_close_v2(db);
        return nullptr;
    }
    sqlite3_busy_timeout(db, BusyTimeoutMs);
    sqlite3_extended_result_codes(db, 1);
    return db;
}

// Opens the hive read-write, else read-only; nullptr when neither works.
sqlite3 *THive::Connect(const std::string &Path) {
    sqlite3 *db = OpenDb(Path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    if (db == nullptr) // a hive we may read but not write still gives its values
        db = OpenDb(Path, SQLITE_OPEN_READONLY);
    // A read-only hive in a read-only folder cannot get the shared-memory
    // file its write-ahead log needs; read it as a file nobody changes.
    if (db != nullptr && sqlite3_db_readonly(db, "main") == 1 &&
        sqlite3_exec(db, "PRAGMA schema_version", nullptr, nullptr, nullptr) != SQLITE_OK) {
        sqlite3_close_v2(db);
        db = OpenDb("file:" + UriPath(Path) + "?immutable=1",
                    SQLITE_OPEN_READONLY | SQLITE_OPEN_URI);
    }
    return db;
}

// Keeps every byte of the unusable hive: the file (or whatever stands in its
// place) and its write-ahead log are renamed, only the shared-memory index
// (rebuilt from them) is dropped. False when it could not be moved.
bool THive::MoveAside(const std::string &Path, const std::string &Reason) {
    std::error_code error;
    std::string target = Path + ".damaged-" + TimeStamp();
    for (int n = 2; std::filesystem::exists(target, error); ++n)
        target = Path + ".damaged-" + TimeStamp() + "-" + std::to_string(n);
    std::filesystem::rename(Path, target, error);
    const std::string what = "The settings file " + Path + " cannot be used (" + Reason + ")";
    if (error) {
        PendingDamageNote =
            what + " and could not be moved aside (" + error.message() + "); settings are not kept";
        return false;
    }
    std::error_code ignored;
    for (const char *suffix : {"-wal", "-journal"})
        if (std::filesystem::exists(Path + suffix, ignored))
            std::filesystem::rename(Path + suffix, target + suffix, ignored);
    std::filesystem::remove(Path + "-shm", ignored);
    PendingDamageNote = what + "; it was moved to " + target + " and a new one was started";
    return true;
}

void THive::Open(const std::string &Path) {
    FOpened = true;
    const std::filesystem::path folder = std::filesystem::path(Path).parent_path();
    MakeDirectoryPath(folder.string());
    const TFolderLock lock(folder);
    std::string reason = NotAFile(Path);
    if (reason.empty() && (FDb = Connect(Path)) != nullptr)
        reason = Unusable(FDb);
    if (!reason.empty()) {
        sqlite3_close_v2(FDb);
        FDb = nullptr;
        if (MoveAside(Path, reason))
            FDb = Connect(Path);
    }
    if (FDb == nullptr || sqlite3_db_readonly(FDb, "main") == 1)
        return;
    // WAL with NORMAL sync. A commit appends to the log without waiting for
    // the disk, yet a commit that returned survives the process being killed;
    // only a power loss can take back the last commits, and the hive stays
    // consistent even then. Measured by bench/settings on the development
    // machine (about 130 values): a batched save takes about 0.2 ms here,
    // about 0.7 ms under a rollback journal with FULL sync; but committed one
    // value at a time the rollback journal needs 60 to 80 ms against 1 ms,
    // and not every write of the program is batched. Readers never block
    // the writer either, so a second instance only waits for another's commit.
    sqlite3_exec(FDb, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr);
    sqlite3_exec(FDb, "PRAGMA synchronous=NORMAL", nullptr, nullptr, nullptr);
    const bool ready =
        sqlite3_exec(FDb, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) == SQLITE_OK &&
        sqlite3_exec(FDb, Schema, nullptr, nullptr, nullptr) == SQLITE_OK &&
        sqlite3_exec(FDb, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK;
    if (!ready)
        sqlite3_exec(FDb, "ROLLBACK", nullptr, nullptr, nullptr);
}

THive::~THive() {
    for (auto &entry : FStatements)
        sqlite3_finalize(entry.second);
    if (FDb != nullptr)
        sqlite3_close_v2(FDb);
}

std::vector<std::string> SplitKeyPath(const std::string &Path) {
    std::vector<std::string> parts;
    std::string::size_type start = 0;
    while (start <= Path.size()) {
        const auto end = Path.find('\\', start);
        const auto stop = end == std::string::npos ? Path.size() : end;
        if (stop > start) // doubled, leading and trailing backslashes name nothing
            parts.push_back(Path.substr(start, stop - start));
        start = stop + 1;
    }
    return parts;
}

// The subkey Name of Parent; 0 when it does not exist or cannot be read.
long long FindKey(long long Parent, const std::string &Name) {
    TQuery query(FindKeySql);
    query.Bind(1, Parent);
    query.Bind(2, Name);
    return query.Step() == SQLITE_ROW ? query.Integer(0) : 0;
}

long long AddKey(long long Parent, const std::string &Name) {
    TQuery query(AddKeySql);
    query.Bind(1, Parent);
    query.Bind(2, Name);
    if (query.Step() != SQLITE_DONE)
        return 0;
    return sqlite3_last_insert_rowid(THive::Instance().Db());
}

// Walks Parts from Start; with Create it adds the missing keys. 0 on failure.
long long WalkKeys(long long Start, const std::vector<std::string> &Parts, bool Create) {
    long long key = Start;
    for (const auto &part : Parts) {
        long long next = FindKey(key, part);
        if (next == 0 && Create)
            next = AddKey(key, part);
        if (next == 0)
            return 0;
        key = next;
    }
    return key;
}

std::string JoinKeyPath(const std::vector<std::string> &Parts) {
    std::string path;
    for (const auto &part : Parts)
        path += (path.empty() ? "" : "\\") + part;
    return path;
}

void ReadNames(const char *Sql, long long Key, std::vector<std::string> &Names) {
    Names.clear();
    if (Key == LostKey)
        return;
    TQuery query(Sql);
    query.Bind(1, Key);
    while (query.Step() == SQLITE_ROW)
        Names.push_back(query.Text(0));
}

} // namespace

TRegistry::TRegistry() = default;
TRegistry::~TRegistry() = default;

std::string TRegistry::HivePath() {
    static const std::string path = [] {
        const char *config = std::getenv("XDG_CONFIG_HOME");
        const std::string folder = config != nullptr && config[0] == '/'
                                       ? std::string(config)
                                       : HomeDirectory() + "/.config";
        return folder + "/tarnwell/registry.sqlite3";
    }();
    return path;
}

void TRegistry::CheckHive() {
    THive &hive = THive::Instance();
    hive.Db();
    if (hive.PendingDamageNote.empty())
        return;
    const std::string note = std::move(hive.PendingDamageNote);
    hive.PendingDamageNote.clear();
    throw ERegistryException(note);
}

long long TRegistry::CurrentKey() const {
    if (THive::Instance().Db() == nullptr)
        return LostKey;
    return FCurrentKey == 0 ? RootKey : FCurrentKey;
}

void TRegistry::RestoreKey(const TKeyState &State) {
    FCurrentPath = State.Path;
    FCurrentKey = State.Key;
}

bool TRegistry::OpenKey(const std::string &Key, bool CanCreate) {
    const bool fromHive = !Key.empty() && Key.front() == '\\';
    const long long start = fromHive ? RootKey : CurrentKey();
    if (start == LostKey)
        return false;
    const std::vector<std::string> parts = SplitKeyPath(Key);
    long long key = WalkKeys(start, parts, false);
    if (key == 0 && CanCreate) {
        // Look again under the write lock: another instance may have just
        // created part of the path.
        TRegistryTransaction transaction;
        key = WalkKeys(start, parts, true);
        if (key != 0 && !transaction.Commit())
            key = 0;
    }
    if (key == 0)
        return false;
    const std::string relative = JoinKeyPath(parts);
    const std::string base = fromHive ? std::string() : FCurrentPath;
    FCurrentPath = base.empty() || relative.empty() ? base + relative : base + "\\" + relative;
    FCurrentKey = key;
    return true;
}

void TRegistry::CloseKey() {
    FCurrentPath.clear();
    FCurrentKey = 0;
}

bool TRegistry::ValueExists(const std::string &Name) const {
    const long long key = CurrentKey();
    if (key == LostKey)
        return false;
    TQuery query(ValueTypeSql);
    query.Bind(1, key);
    query.Bind(2, Name);
    return query.Step() == SQLITE_ROW;
}

std::string TRegistry::ReadString(const std::string &Name) const {
    const long long key = CurrentKey();
    if (key == LostKey)
        return "";
    TQuery query(ReadValueSql);
    query.Bind(1, key);
    query.Bind(2, Name);
    if (query.Step() != SQLITE_ROW)
        return "";
    const long long type = query.Integer(0);
    if (type != RegString && type != RegExpandString)
        throw ERegistryException("Invalid data type for '" + Name + "'");
    return query.Text(1);
}

void TRegistry::WriteString(const std::string &Name, const std::string &Value) {
    TRegistryTransaction transaction;
    const long long key = CurrentKey();
    bool written = false;
    if (key != LostKey) {
        TQuery query(WriteValueSql);
        query.Bind(1, key);
        query.Bind(2, Name);
        query.Bind(3, Value);
        written = query.Step() == SQLITE_DONE;
    }
    if (!written || !transaction.Commit())
        throw ERegistryException("Failed to set data for '" + Name + "'");
}

void TRegistry::GetKeyNames(std::vector<std::string> &Names) const {
    ReadNames(KeyNamesSql, CurrentKey(), Names);
}

void TRegistry::GetValueNames(std::vector<std::string> &Names) const {
    ReadNames(ValueNamesSql, CurrentKey(), Names);
}

// Takes the write lock up front (BEGIN IMMEDIATE): a transaction that starts
// as a reader and later wants to write can fail at once with "database is
// locked" instead of waiting for the other instance.
TRegistryTransaction::TRegistryTransaction() {
    THive &hive = THive::Instance();
    FOutermost = hive.Depth++ == 0;
    if (FOutermost)
        hive.Active = hive.Exec("BEGIN IMMEDIATE");
}

TRegistryTransaction::~TRegistryTransaction() {
    Commit();
    --THive::Instance().Depth;
}

bool TRegistryTransaction::Commit() {
    if (!FOutermost || FDone)
        return true;
    FDone = true;
    THive &hive = THive::Instance();
    if (!hive.Active)
        return true; // nothing was open: every write stood on its own
    hive.Active = false;
    if (hive.Exec("COMMIT"))
        return true;
    hive.Exec("ROLLBACK");
    return false;
}
