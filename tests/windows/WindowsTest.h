#pragma once

#include "TForm.h"
#include "TRegIniFile.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <string>

inline const std::string RootKey = "Brackwater Software\\Tarnwells";
inline const std::string OthersRoot = "Brackwater Software\\Tarnwells\\Others";

// Each test gets a hive and a data folder of its own below the process's
// temporary home, and leaves no modal hook behind.
class FrameworkTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Folder.isValid());
        qputenv("XDG_CONFIG_HOME", Folder.filePath("config").toLocal8Bit());
        qputenv("XDG_DATA_HOME", Folder.filePath("data").toLocal8Bit());
    }
    void TearDown() override { SetModalHook({}); }

    // A value as another store sees it; "<none>" when missing.
    static std::string Stored(const std::string &Key, const std::string &Section,
                              const std::string &Ident) {
        return TRegIniFile(Key).ReadString(Section, Ident, "<none>");
    }

    QTemporaryDir Folder{QDir::home().filePath("test-XXXXXX")};
};

// Delivers the events a show or a geometry change queued.
inline void Settle() {
    for (int I = 0; I < 3; ++I)
        QApplication::processEvents();
}
