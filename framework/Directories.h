#pragma once

#include <string>

// What stands in for the Windows directory: $XDG_DATA_HOME, or
// ~/.local/share when it is unset; never with a trailing separator.
std::string WindowsDirectory();

// Creates Path and its missing parents; reports nothing.
void MakeDirectoryPath(const std::string &Path);

// Makes sure RelativePath (backslash-separated) exists below
// WindowsDirectory(); reports nothing.
void EnsureDirectory(const std::string &RelativePath);
