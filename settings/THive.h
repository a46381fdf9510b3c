#pragma once

#include <sqlite3.h>
#include <string>
#include <unordered_map>

// The process-wide connection to the hive, the SQLite database that holds the
// key tree. The hive's path is fixed when it first opens; it never reopens,
// so key rows handed out stay valid. A hive that cannot be used is moved
// aside for a fresh one when it opens; see TRegistry::CheckHive.
class THive {
public:
    static THive &Instance() {
        static THive hive;
        return hive;
    }
    ~THive();
    THive(const THive &) = delete;
    THive &operator=(const THive &) = delete;

    // The hive file: $XDG_CONFIG_HOME/tarnwell/registry.sqlite3, read from
    // the environment at the first call and fixed for the process from then.
    static std::string Path();

    // The connection, or nullptr when the hive can be neither opened nor created.
    sqlite3 *Db() {
        if (!FOpened)
            Open(Path());
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
        if (Db() != nullptr && sqlite3_exec(FDb, Sql, nullptr, nullptr, nullptr) == SQLITE_OK)
            return true;
        NoteError();
        return false;
    }
    // Keeps the reason of the last failure on the open hive for LastError.
    void NoteError() {
        if (FDb != nullptr)
            LastError = sqlite3_errmsg(FDb);
    }

    // The key row of the hive itself, made with the tables.
    static constexpr long long RootKey = 1;

    // Every statement the store runs on the tables. They belong to the hive
    // because opening a stored one checks that each of them can be prepared
    // on it. Statements are cached by address: pass these pointers.
    static const char *const FindKeySql;
    static const char *const AddKeySql;
    static const char *const KeyNamesSql;
    static const char *const ValueNamesSql;
    static const char *const ValueTypeSql;
    static const char *const ReadValueSql;
    static const char *const WriteValueSql;

    int Depth = 0;                 // nesting of TRegistryTransaction
    bool Active = false;           // the outermost one holds an open write transaction
    unsigned FailedCommits = 0;    // outermost transactions rolled back so far
    std::string PendingDamageNote; // for TRegistry::CheckHive
    // Why the hive could not be opened, or the last statement failed.
    std::string LastError;

private:
    THive() = default;
    void Open(const std::string &Path);
    sqlite3 *Connect(const std::string &Path);
    bool MoveAside(const std::string &Path, const std::string &Reason);

    sqlite3 *FDb = nullptr;
    bool FOpened = false;
    std::unordered_map<const char *, sqlite3_stmt *> FStatements;
};
