#include "FreshHome.h"

#include "TRegistry.h"

#include <cstdlib>
#include <filesystem>
#include <sqlite3.h>

void FreshHome::SetUp() {
    std::string pattern = std::string(std::getenv("HOME")) + "/case-XXXXXX";
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    FRoot = pattern;
    std::filesystem::create_directories(ConfigHome());
    std::filesystem::create_directories(DataHome());
    setenv("XDG_CONFIG_HOME", ConfigHome().c_str(), 1);
    setenv("XDG_DATA_HOME", DataHome().c_str(), 1);
}

std::string FreshHome::RawQuery(const std::string &Sql) const {
    sqlite3 *db = nullptr;
    std::string result;
    if (sqlite3_open_v2(HivePath().c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK) {
        sqlite3_busy_timeout(db, 5000);
        sqlite3_stmt *statement = nullptr;
        if (sqlite3_prepare_v2(db, Sql.c_str(), -1, &statement, nullptr) == SQLITE_OK &&
            sqlite3_step(statement) == SQLITE_ROW && sqlite3_column_text(statement, 0) != nullptr)
            result = reinterpret_cast<const char *>(sqlite3_column_text(statement, 0));
        sqlite3_finalize(statement);
    }
    sqlite3_close(db);
    return result;
}

void FreshHome::DropConnection() {
    const std::string config = std::getenv("XDG_CONFIG_HOME");
    setenv("XDG_CONFIG_HOME", (config + "/elsewhere").c_str(), 1);
    try {
        TRegistry::CheckHive(); // touches the hive, so the old connection closes
    } catch (const ERegistryException &) {
    }
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
}
