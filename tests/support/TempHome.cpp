#include "TempHome.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

TempHome::TempHome() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "tarnwell-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("cannot create a temporary folder");
    FRoot = pattern;
    std::filesystem::create_directories(ConfigHome());
    std::filesystem::create_directories(DataHome());
    setenv("HOME", FRoot.c_str(), 1);
    setenv("XDG_CONFIG_HOME", ConfigHome().c_str(), 1);
    setenv("XDG_DATA_HOME", DataHome().c_str(), 1);
}

TempHome::~TempHome() {
    std::error_code ignored;
    // Tests may leave read-only folders behind; make them removable first.
    for (auto it = std::filesystem::recursive_directory_iterator(FRoot, ignored);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ignored))
        std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(FRoot, ignored);
}
