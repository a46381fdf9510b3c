#include "FreshHome.h"

#include <filesystem>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

std::string FreshHome::RawQuery(const std::string &Sql) {
    std::filesystem::create_directories(HiveFolder());
    sqlite3 *db = nullptr;
    sqlite3_open(HivePath().c_str(), &db);
    sqlite3_busy_timeout(db, 5000);
    std::string result;
    const auto keep = [](void *Result, int, char **Values, char **) {
        *static_cast<std::string *>(Result) = Values[0] ? Values[0] : "";
        return 0;
    };
    sqlite3_exec(db, Sql.c_str(), keep, &result, nullptr);
    sqlite3_close(db);
    return result;
}

void FreshHome::InAnotherProcess(const std::function<void()> &Action) {
    const pid_t child = fork();
    if (child == 0) {
        try {
            Action();
        } catch (...) {
            _exit(1);
        }
        std::exit(0); // closes the hive as the program's end does
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}
