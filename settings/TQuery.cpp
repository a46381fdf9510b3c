#include "TQuery.h"

#include "THive.h"

TQuery::TQuery(const char *Sql) : FStatement(THive::Instance().Statement(Sql)) {}
