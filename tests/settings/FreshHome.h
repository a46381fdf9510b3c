#pragma once

#include "TRegistry.h"
#include "TestFiles.h"

#include <functional>
#include <gtest/gtest.h>
#include <string>

// The config folder of this test process (TempHome made it). The store fixes
// its hive's path when it first opens it, and ctest runs every case in a
// process of its own, so every case starts on no hive.
class FreshHome : public testing::Test {
public:
    // The program's own key, which its stores open below the hive.
    static inline const std::string Root = "Brackwater Software\\Tarnwells";

    static std::string ConfigHome() { return std::getenv("XDG_CONFIG_HOME"); }
    static std::string HiveFolder() { return ConfigHome() + "/tarnwell"; }
    static std::string HivePath() { return HiveFolder() + "/registry.sqlite3"; }

    // Runs the statements of Sql on the hive (made when missing) through a
    // connection of its own; the first column of the last row given ("" if none).
    static std::string RawQuery(const std::string &Sql);
    // Runs Action in a child process that ends as the program does, as an
    // earlier run would have. Only before this process opened the hive.
    static void InAnotherProcess(const std::function<void()> &Action);
};

// The message of the ERegistryException Action throws; "" when it throws none.
template <class F> std::string Failure(F Action) {
    try {
        Action();
    } catch (const ERegistryException &e) {
        return e.what();
    }
    return "";
}
