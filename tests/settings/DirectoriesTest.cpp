#include "Directories.h"
#include "FreshHome.h"

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

using Directories = FreshHome;

TEST_F(Directories, TheWindowsDirectoryIsTheDataHomeWithoutTrailingSeparator) {
    const std::string home = getenv("HOME");
    const std::vector<std::pair<const char *, std::string>> cases = {
        {"/data/home", "/data/home"},
        {"/data/home///", "/data/home"},
        {"relative/data", home + "/.local/share"},
        {"", home + "/.local/share"},
    };
    for (const auto &[variable, expected] : cases) {
        setenv("XDG_DATA_HOME", variable, 1);
        EXPECT_EQ(WindowsDirectory(), expected) << variable;
    }
    unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(WindowsDirectory(), home + "/.local/share");
}

TEST_F(Directories, EnsureDirectoryMakesBackslashPathsBelowIt) {
    EnsureDirectory("Brackwater Software\\Tarnwells\\Compare\\\\Report\\");
    EXPECT_TRUE(fs::is_directory(DataHome() + "/Brackwater Software/Tarnwells/Compare/Report"));

    // A file of that name is left alone, and so is whatever is below a file.
    std::ofstream(DataHome() + "/plain") << "keep";
    EnsureDirectory("plain");
    EnsureDirectory("plain\\below");
    EXPECT_TRUE(fs::is_regular_file(DataHome() + "/plain"));

    MakeDirectoryPath(DataHome() + "/a/b/c");
    MakeDirectoryPath(DataHome() + "/a/b/c"); // already there: no complaint
    EXPECT_TRUE(fs::is_directory(DataHome() + "/a/b/c"));
}
