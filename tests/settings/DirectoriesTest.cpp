#include "Directories.h"
#include "FreshHome.h"

using Directories = FreshHome;

TEST_F(Directories, TheWindowsDirectoryIsTheDataHomeWithoutTrailingSeparator) {
    const std::string fallback = std::string(getenv("HOME")) + "/.local/share";
    for (const auto &[variable, expected] : std::vector<std::pair<const char *, std::string>>{
             {"/data/home///", "/data/home"}, {"relative/data", fallback}, {"", fallback}}) {
        setenv("XDG_DATA_HOME", variable, 1);
        EXPECT_EQ(WindowsDirectory(), expected) << variable;
    }
}
