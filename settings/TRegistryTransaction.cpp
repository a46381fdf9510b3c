#include "TRegistryTransaction.h"

#include "THive.h"

// Takes the write lock up front (BEGIN IMMEDIATE): a transaction that starts
// as a reader and later wants to write can fail at once with "database is
// locked" instead of waiting for the other instance.
TRegistryTransaction::TRegistryTransaction() {
    THive &hive = THive::Instance();
    FOutermost = hive.Depth++ == 0;
    if (FOutermost)
        hive.Active = hive.Exec("BEGIN IMMEDIATE");
}

TRegistryTransaction::~TRegistryTransaction() {
    Commit();
    --THive::Instance().Depth;
}

bool TRegistryTransaction::Commit() {
    if (!FOutermost || FDone)
        return true;
    FDone = true;
    THive &hive = THive::Instance();
    if (!hive.Active)
        return true; // nothing was open: every write stood on its own
    hive.Active = false;
    if (hive.Exec("COMMIT"))
        return true;
    const std::string why = hive.LastError;
    hive.Exec("ROLLBACK");
    hive.LastError = why;
    ++hive.FailedCommits; // what the stores remember as written is not
    return false;
}
