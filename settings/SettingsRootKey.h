#pragma once

#include <string>
#include <vector>

inline constexpr const char *DefaultRootKey = "Brackwater Software\\Tarnwells";
inline constexpr const char *OthersKey = "Brackwater Software\\Tarnwells\\Others";

// The root key path of the configuration in use: the default one when the
// argument at ParamIndex (1 = first after the program name) is missing or
// empty, else the named configuration "...\Others\<name>", where name is the
// argument's file-name part (after its last backslash, slash or colon, at
// most 255 characters).
std::string SettingsRootKey(const std::vector<std::string> &Arguments, int ParamIndex);
