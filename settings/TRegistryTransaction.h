#pragma once

// Batches the writes of one save into a single transaction, so a save of
// every window costs one commit. Nests: only the outermost one commits.
// The destructor commits what was written, also when a write failed.
class TRegistryTransaction {
public:
    TRegistryTransaction();
    ~TRegistryTransaction();
    TRegistryTransaction(const TRegistryTransaction &) = delete;
    TRegistryTransaction &operator=(const TRegistryTransaction &) = delete;

    // Commits now when this is the outermost transaction and reports whether
    // the writes reached the disk; true for a nested one. The destructor then
    // has nothing left to do.
    bool Commit();

private:
    bool FOutermost = false;
    bool FDone = false;
};
