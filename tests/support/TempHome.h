#pragma once

#include <string>

// A temporary folder that stands in for the user's home for one test
// process: XDG_CONFIG_HOME, XDG_DATA_HOME and HOME point below it, so no
// test ever reads or writes the real settings. Removed at exit.
class TempHome {
public:
    TempHome();
    ~TempHome();
    TempHome(const TempHome &) = delete;
    TempHome &operator=(const TempHome &) = delete;

    const std::string &Root() const { return FRoot; }
    std::string ConfigHome() const { return FRoot + "/config"; }
    std::string DataHome() const { return FRoot + "/data"; }

private:
    std::string FRoot;
};
