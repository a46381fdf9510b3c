#include "Directories.h"

#include <cstdlib>
#include <gtest/gtest.h>

TEST(Directories, TheWindowsDirectoryIsTheDataHomeWithoutTrailingSeparator) {
    const std::string dataHome = getenv("XDG_DATA_HOME"); // TempHome set it
    const std::string fallback = std::string(getenv("HOME")) + "/.local/share";
    for (const auto &[variable, expected] : std::vector<std::pair<const char *, std::string>>{
             {"/data/home///", "/data/home"}, {"relative/data", fallback}, {"", fallback}}) {
        setenv("XDG_DATA_HOME", variable, 1);
        EXPECT_EQ(WindowsDirectory(), expected) << variable;
    }
    setenv("XDG_DATA_HOME", dataHome.c_str(), 1);
}
