#pragma once

#include <string>

// The user's home folder: $HOME, else the password database's entry.
std::string HomeDirectory();

// What stands in for the Windows directory: $XDG_DATA_HOME, or
// ~/.local/share when it is unset; never with a trailing separator.
std::string WindowsDirectory();

// Creates Path and its missing parents, each private to the user (0700):
// they hold settings and reports. Reports nothing.
void MakeDirectoryPath(const std::string &Path);

// Makes sure RelativePath (backslash-separated) exists below
// WindowsDirectory(); reports nothing.
void EnsureDirectory(const std::string &RelativePath);
