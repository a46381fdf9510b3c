#include "THive.h"

#include "Directories.h"
#include "TFolderLock.h"

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace {

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

} // namespace

const char *const THive::FindKeySql = "SELECT id FROM keys WHERE parent = ?1 AND name = ?2";
const char *const THive::AddKeySql = "INSERT INTO keys(parent, name) VALUES(?1, ?2)";
const char *const THive::KeyNamesSql = "SELECT name FROM keys WHERE parent = ?1 ORDER BY name";
const char *const THive::ValueNamesSql = "SELECT name FROM vals WHERE key = ?1 ORDER BY name";
const char *const THive::ValueTypeSql = "SELECT type FROM vals WHERE key = ?1 AND name = ?2";
const char *const THive::ReadValueSql = "SELECT type, data FROM vals WHERE key = ?1 AND name = ?2";
const char *const THive::WriteValueSql =
    "INSERT INTO vals(key, name, type, data) VALUES(?1, ?2, 1, ?3)"
    " ON CONFLICT(key, name) DO UPDATE SET type = excluded.type, data = excluded.data";

namespace {

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
    for (const char *sql :
         {THive::FindKeySql, THive::AddKeySql, THive::KeyNamesSql, THive::ValueNamesSql,
          THive::ValueTypeSql, THive::ReadValueSql, THive::WriteValueSql}) {
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

// The connection; nullptr when it cannot be opened, and then Why says why.
sqlite3 *OpenDb(const std::string &Name, int Flags, std::string &Why) {
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(Name.c_str(), &db, Flags, nullptr) != SQLITE_OK) {
        const int error = db != nullptr ? sqlite3_system_errno(db) : 0;
        Why = error != 0      ? std::strerror(error)
              : db != nullptr ? sqlite3_errmsg(db)
                              : "out of memory";
        sqlite3_close_v2(db);
        return nullptr;
    }
    sqlite3_busy_timeout(db, BusyTimeoutMs);
    sqlite3_extended_result_codes(db, 1);
    return db;
}

} // namespace

std::string THive::Path() {
    static const std::string path = [] {
        const char *config = std::getenv("XDG_CONFIG_HOME");
        const std::string folder = config != nullptr && config[0] == '/'
                                       ? std::string(config)
                                       : HomeDirectory() + "/.config";
        return folder + "/tarnwell/registry.sqlite3";
    }();
    return path;
}

namespace {

// The hive holds the names of the user's files: it is the user's alone,
// mode 0600, whatever the umask or the folder's mode, and so are its log and
// index, which SQLite makes with the hive's mode. One an earlier version
// left open to others is narrowed.
void KeepToOwner(const std::string &Path) {
    const int made =
        ::open(Path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (made >= 0)
        ::close(made);
    for (const char *suffix : {"", "-wal", "-shm", "-journal"}) {
        const std::string name = Path + suffix;
        struct stat status {};
        if (::lstat(name.c_str(), &status) == 0 && S_ISREG(status.st_mode) &&
            (status.st_mode & 0177) != 0)
            ::chmod(name.c_str(), status.st_mode & 0600);
    }
}

} // namespace

// Opens the hive read-write, else read-only; nullptr when neither works.
sqlite3 *THive::Connect(const std::string &Path) {
    KeepToOwner(Path);
    sqlite3 *db = OpenDb(Path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, LastError);
    if (db == nullptr) // a hive we may read but not write still gives its values
        db = OpenDb(Path, SQLITE_OPEN_READONLY, LastError);
    // A read-only hive in a read-only folder cannot get the shared-memory
    // file its write-ahead log needs; read it as a file nobody changes.
    if (db != nullptr && sqlite3_db_readonly(db, "main") == 1 &&
        sqlite3_exec(db, "PRAGMA schema_version", nullptr, nullptr, nullptr) != SQLITE_OK) {
        sqlite3_close_v2(db);
        db = OpenDb("file:" + UriPath(Path) + "?immutable=1",
                    SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, LastError);
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
