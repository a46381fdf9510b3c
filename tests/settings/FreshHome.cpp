#include "FreshHome.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

std::string FreshHome::RawQuery(const std::string &Sql) {
    sqlite3 *db = nullptr;
    std::string result;
    std::filesystem::create_directories(HiveFolder());
    if (sqlite3_open(HivePath().c_str(), &db) == SQLITE_OK) {
        sqlite3_busy_timeout(db, 5000);
        for (const char *next = Sql.c_str(); *next != '\0';) {
            sqlite3_stmt *statement = nullptr;
            if (sqlite3_prepare_v2(db, next, -1, &statement, &next) != SQLITE_OK)
                break;
            if (sqlite3_step(statement) == SQLITE_ROW && sqlite3_column_text(statement, 0))
                result = reinterpret_cast<const char *>(sqlite3_column_text(statement, 0));
            sqlite3_finalize(statement);
        }
    }
    sqlite3_close(db);
    return result;
}

void FreshHome::InAnotherProcess(const std::function<void()> &Action) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        try {
            Action();
        } catch (...) {
            _exit(1);
        }
        std::exit(0); // closes the hive as the program's end does
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

std::string FreshHome::ReadFile(const std::string &Path) {
    std::ifstream in(Path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void FreshHome::WriteFile(const std::string &Path, const std::string &Bytes) {
    std::filesystem::create_directories(std::filesystem::path(Path).parent_path());
    std::ofstream(Path, std::ios::binary | std::ios::trunc) << Bytes;
}
