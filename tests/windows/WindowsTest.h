#pragma once

#include "TForm.h"
#include "TRegIniFile.h"

#include <QApplication>
#include <gtest/gtest.h>

inline const std::string RootKey = "Brackwater Software\\Tarnwells";

// The hive and home are the test process's own (see TempHome); a test leaves
// no modal hook behind.
class FrameworkTest : public testing::Test {
protected:
    void TearDown() override { SetModalHook({}); }
};

// Delivers the events a show or a geometry change queued.
inline void Settle() {
    for (int I = 0; I < 3; ++I)
        QApplication::processEvents();
}
