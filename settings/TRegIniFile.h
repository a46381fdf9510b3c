#pragma once

#include "TRegistry.h"

#include <string>
#include <unordered_map>
#include <vector>

// The registry-ini layer: typed values addressed by a section (a key path
// relative to the store's key, or to the hive when it starts with a
// backslash) and a value name. Every access opens the section afresh, so two
// stores on overlapping paths always see each other's writes. A missing key
// or value reads as the caller's default; reading never creates a key.
// The store remembers each value as it last read it (a missing one as the
// default it gave) or wrote it, and writes only values that differ from
// that: a window writing all its values at exit changes only what it
// changed. A transaction that fails to commit makes every store forget.
class TRegIniFile : public TRegistry {
public:
    // Opens KeyPath below the hive, creating the missing keys. When it cannot
    // be opened or created the store still exists and its sections are then
    // taken relative to the hive.
    explicit TRegIniFile(const std::string &KeyPath);

    std::string ReadString(const std::string &Section, const std::string &Ident,
                           const std::string &Default);
    // Throws SaveFailure(). A value the store last read or wrote as Value
    // is not written again, so a value this program did not change never
    // undoes what another one wrote meanwhile.
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
    // The text Value stands for under Section and Ident, as last read or written.
    void Remember(const std::string &Section, const std::string &Ident, const std::string &Value);
    bool Remembers(const std::string &Section, const std::string &Ident, const std::string &Value);
    std::string FKeyPath;
    std::unordered_map<std::string, std::string> FKnown;
    unsigned FKnownSince = 0; // THive::FailedCommits when FKnown was last valid
};
