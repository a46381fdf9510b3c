#include "TQuery.h"

#include "THive.h"

TQuery::TQuery(const char *Sql) : FStatement(THive::Instance().Statement(Sql)) {}

int TQuery::Step() {
    const int result = FStatement == nullptr ? SQLITE_ERROR : sqlite3_step(FStatement);
    if (result != SQLITE_ROW && result != SQLITE_DONE)
        THive::Instance().NoteError();
    return result;
}
