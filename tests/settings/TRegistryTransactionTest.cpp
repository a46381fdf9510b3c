#include "TRegistryTransaction.h"
#include "FreshHome.h"
#include "TRegIniFile.h"

using Transaction = FreshHome;

// Writes inside nested transactions reach other connections only when the
// outermost one ends.

TEST_F(Transaction, ATransactionCommitsOnceAtTheOutermostEnd) {
    TRegIniFile store(Root);
    {
        TRegistryTransaction outer;
        store.WriteString("Batch", "A", "1");
        {
            TRegistryTransaction inner;
            store.WriteString("Batch", "B", "2");
        }
        EXPECT_EQ(RawQuery("SELECT count(*) FROM vals"), "0"); // not yet for others
        EXPECT_EQ(store.ReadString("Batch", "B", ""), "2");
    }
    EXPECT_EQ(RawQuery("SELECT count(*) FROM vals"), "2");
}
