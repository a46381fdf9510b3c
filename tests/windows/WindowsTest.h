#pragma once

#include "TForm.h"
#include "TRegIniFile.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <string>

inline const std::string RootKey = "Brackwater Software\\Tarnwells";

// Each test gets a hive and a data folder of its own below the process's
// temporary home, and leaves no modal hook behind.
class FrameworkTest : public testing::Test {
protected:
    void SetUp() override {
        qputenv("XDG_CONFIG_HOME", Folder.filePath("config").toLocal8Bit());
        qputenv("XDG_DATA_HOME", Folder.filePath("data").toLocal8Bit());
    }
    void TearDown() override { SetModalHook({}); }
    QTemporaryDir Folder{QDir::home().filePath("test-XXXXXX")};
};

// Delivers the events a show or a geometry change queued.
inline void Settle() {
    for (int I = 0; I < 3; ++I)
        QApplication::processEvents();
}
