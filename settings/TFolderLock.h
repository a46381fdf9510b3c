#pragma once

#include <filesystem>

// Holds an exclusive lock on a folder while alive, so programs starting at
// once check and move a hive one after the other, and a later one finds the
// fresh hive of the first and leaves it be. No lock when the folder cannot
// be opened.
class TFolderLock {
public:
    explicit TFolderLock(const std::filesystem::path &Folder);
    ~TFolderLock();
    TFolderLock(const TFolderLock &) = delete;
    TFolderLock &operator=(const TFolderLock &) = delete;

private:
    int FFd;
};
