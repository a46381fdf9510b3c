#pragma once

#include "TRegistry.h"

#include <string>
#include <vector>

// The registry-ini layer: typed values addressed by a section (a key path
// relative to the store's key, or to the hive when it starts with a
// backslash) and a value name. Every access opens the section afresh, so two
// stores on overlapping paths always see each other's writes. A missing key
// or value reads as the caller's default; reading never creates a key.
class TRegIniFile : public TRegistry {
public:
    // Opens KeyPath below the hive, creating the missing keys. When it cannot
    // be opened or created the store still exists and its sections are then
    // taken relative to the hive.
    explicit TRegIniFile(const std::string &KeyPath);

    std::string ReadString(const std::string &Section, const std::string &Ident,
                           const std::string &Default);
    // Throws "Failed to create key %s" or "Failed to set data for '%s'".
    void WriteString(const std::string &Section, const std::string &Ident,
                     const std::string &Value);
    // Accepts decimal with an optional sign, $hex and 0x hex, leading spaces
    // skipped; anything else, or a number outside 32 bits, gives Default.
    int ReadInteger(const std::string &Section, const std::string &Ident, int Default);
    void WriteInteger(const std::string &Section, const std::string &Ident, int Value);
    // ReadInteger with default 1 or 0; true unless the result is 0.
    bool ReadBool(const std::string &Section, const std::string &Ident, bool Default);
    void WriteBool(const std::string &Section, const std::string &Ident, bool Value);
    // Clears Strings, then appends the subkey names of the store's key.
    void ReadSections(std::vector<std::string> &Strings);
    // Clears Strings, then appends the value names of Section (none when the
    // section does not exist).
    void ReadSection(const std::string &Section, std::vector<std::string> &Strings);

    // The key path the store was opened on.
    const std::string &KeyPath() const { return FKeyPath; }

private:
    class TSection;
    std::string FKeyPath;
};
