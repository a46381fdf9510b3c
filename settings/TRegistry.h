#pragma once

#include <stdexcept>
#include <string>
#include <vector>

// A failure of the settings store; what() is the text the user reads.
class ERegistryException : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One key of the per-user key tree (the hive), which lives in an SQLite
// database below $XDG_CONFIG_HOME (see HivePath). Key paths are backslash-separated; key
// and value names compare without regard to ASCII case and keep the case
// they were created with. Values are typed; the system writes only strings.
//
// The interface below is what the registry-ini layer builds on; its
// owner may extend it.
class TRegistry {
public:
    TRegistry();
    virtual ~TRegistry();
    TRegistry(const TRegistry &) = delete;
    TRegistry &operator=(const TRegistry &) = delete;

    // Opens Key: relative to the current key, or to the hive when it starts
    // with a backslash. CanCreate creates the missing keys on the way.
    // Returns false when the key does not exist (and may not be created) or
    // cannot be created.
    bool OpenKey(const std::string &Key, bool CanCreate);
    void CloseKey();
    // Full path of the current key below the hive, without a leading backslash.
    const std::string &CurrentPath() const { return FCurrentPath; }

    bool ValueExists(const std::string &Name) const;
    // Throws "Invalid data type for '%s'" when the value is not a string.
    std::string ReadString(const std::string &Name) const;
    // Throws SaveFailure().
    void WriteString(const std::string &Name, const std::string &Value);
    // Subkey names of the current key, in case-insensitive alphabetical order.
    void GetKeyNames(std::vector<std::string> &Names) const;
    // Value names of the current key, in case-insensitive alphabetical order.
    void GetValueNames(std::vector<std::string> &Names) const;

    // Reports, once per process, that the hive could not be used and was
    // moved aside as registry.sqlite3.damaged-<stamp> for a fresh one: throws
    // ERegistryException naming the file, the reason and where it went.
    // Unusable is a file SQLite finds damaged, a database whose tables are
    // not the store's, or a folder or other non-file in its place; a busy,
    // locked, unreadable or read-only hive is never moved. Later calls, and
    // calls when nothing happened, return quietly.
    static void CheckHive();
    // The hive file: $XDG_CONFIG_HOME/tarnwell/registry.sqlite3, read from
    // the environment at the first call and fixed for the process from then.
    static std::string HivePath();
    // The failure of every write of settings: "Cannot save the settings to
    // FILE: REASON. The changes of this session are lost", with the hive's
    // name and the reason of the last failure on it.
    static ERegistryException SaveFailure();

protected:
    // Where the current key is; lets the registry-ini layer visit a section
    // and come back.
    struct TKeyState {
        std::string Path;
        long long Key;
    };
    TKeyState SaveKey() const { return {FCurrentPath, FCurrentKey}; }
    void RestoreKey(const TKeyState &State);

    std::string FCurrentPath;
    // Row of the open key; 0 when none is open (the hive itself is then current).
    long long FCurrentKey = 0;

private:
    long long CurrentKey() const;
};
