#include "Directories.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <pwd.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace {

std::string WithoutTrailingSeparators(std::string Path) {
    while (!Path.empty() && Path.back() == '/')
        Path.pop_back();
    return Path;
}

} // namespace

std::string HomeDirectory() {
    const char *home = std::getenv("HOME");
    if (home != nullptr && *home != '\0')
        return WithoutTrailingSeparators(home);
    const passwd *entry = getpwuid(getuid());
    if (entry != nullptr && entry->pw_dir != nullptr)
        return WithoutTrailingSeparators(entry->pw_dir);
    return "";
}

// A relative $XDG_DATA_HOME is ignored, as the XDG rules ask, so the kept
// texts never land below whatever the current folder happens to be.
std::string WindowsDirectory() {
    const char *data = std::getenv("XDG_DATA_HOME");
    if (data != nullptr && data[0] == '/')
        return WithoutTrailingSeparators(data);
    return HomeDirectory() + "/.local/share";
}

void MakeDirectoryPath(const std::string &Path) {
    const std::filesystem::path folder(Path);
    std::error_code ignored;
    if (Path.empty() || std::filesystem::exists(folder, ignored) || folder == folder.parent_path())
        return;
    MakeDirectoryPath(folder.parent_path().string());
    ::mkdir(Path.c_str(), 0700);
}

void EnsureDirectory(const std::string &RelativePath) {
    std::string relative = RelativePath;
    std::replace(relative.begin(), relative.end(), '\\', '/');
    const std::string full = WindowsDirectory() + "/" + relative;
    std::error_code ignored;
    const auto status = std::filesystem::status(full, ignored);
    if (std::filesystem::exists(status) && !std::filesystem::is_directory(status))
        return;
    MakeDirectoryPath(full);
}
