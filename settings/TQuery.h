#pragma once

#include <sqlite3.h>
#include <string>

// One run of a cached statement of the hive (THive::Statement). Resets the
// statement on every way out, so the cached one is ready again. A statement
// that cannot be prepared binds nothing and steps to SQLITE_ERROR.
class TQuery {
public:
    explicit TQuery(const char *Sql);
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
    int Step();
    long long Integer(int Column) const { return sqlite3_column_int64(FStatement, Column); }
    std::string Text(int Column) const {
        const auto *text = sqlite3_column_blob(FStatement, Column);
        const int size = sqlite3_column_bytes(FStatement, Column);
        return text == nullptr ? std::string() : std::string(static_cast<const char *>(text), size);
    }

private:
    sqlite3_stmt *FStatement;
};
