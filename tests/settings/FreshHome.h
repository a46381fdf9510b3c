#pragma once

#include <gtest/gtest.h>
#include <string>

// Every case gets its own config and data folders below the test home, so
// cases never see each other's hive and the store must follow the switch.
class FreshHome : public testing::Test {
protected:
    void SetUp() override;

    std::string ConfigHome() const { return FRoot + "/config"; }
    std::string DataHome() const { return FRoot + "/data"; }
    std::string HiveFolder() const { return ConfigHome() + "/tarnwell"; }
    std::string HivePath() const { return HiveFolder() + "/registry.sqlite3"; }

    // Runs Sql on the hive through a connection of its own and returns the
    // first column of the first row ("" when there is none).
    std::string RawQuery(const std::string &Sql) const;
    // Makes the store drop its connection, as a new process would start.
    static void DropConnection();

private:
    std::string FRoot;
};
