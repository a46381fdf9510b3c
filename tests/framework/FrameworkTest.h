#pragma once

#include "TForm.h"
#include "TRegIniFile.h"

#include <QApplication>
#include <QByteArray>
#include <QDir>
#include <QTemporaryDir>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

// Each test gets a hive and a data folder of its own (below the process's
// temporary home) and leaves no modal hook behind.
class FrameworkTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Folder.isValid());
        FOldConfig = qgetenv("XDG_CONFIG_HOME");
        FOldData = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_CONFIG_HOME", Folder.filePath("config").toLocal8Bit());
        qputenv("XDG_DATA_HOME", Folder.filePath("data").toLocal8Bit());
    }
    void TearDown() override {
        SetModalHook({});
        qputenv("XDG_CONFIG_HOME", FOldConfig);
        qputenv("XDG_DATA_HOME", FOldData);
    }

    // A value as another store sees it; Default when missing.
    static std::string Stored(const std::string &Key, const std::string &Section,
                              const std::string &Ident, const std::string &Default = "<none>") {
        TRegIniFile Store(Key);
        return Store.ReadString(Section, Ident, Default);
    }

    QTemporaryDir Folder{QDir::home().filePath("test-XXXXXX")};

private:
    QByteArray FOldConfig;
    QByteArray FOldData;
};

// Delivers the events a show or a geometry change queued.
inline void Settle() {
    for (int I = 0; I < 3; ++I)
        QApplication::processEvents();
}
