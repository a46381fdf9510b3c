#include "ReportText.h"

#include "ReportTestSupport.h"

#include <gtest/gtest.h>
#include <string>

namespace {

// Where a long line is cut: after Limit characters, a character being a
// code point where the bytes are UTF-8 and a byte where they are not; never
// inside a UTF-8 sequence.
TEST(ReportText, ALineIsCutAfterLimitCharactersNeverInsideOne) {
    const struct {
        std::string Bytes;
        std::size_t Limit;
        QString Kept;
        std::size_t Cut;
    } cases[] = {
        {"abcdef", 6, "abcdef", 0},
        {"abcdef", 5, "abcde", 1},
        {"abcdef", 0, "", 6},
        {"\xC3\xA9\xC3\xA9\xC3\xA9", 3, QStringLiteral("\u00E9\u00E9\u00E9"), 0},
        {"\xC3\xA9\xC3\xA9\xC3\xA9", 2, QStringLiteral("\u00E9\u00E9"), 1},
        {"a\xE2\x82\xAC"
         "b\xE2\x82\xAC",
         3, QStringLiteral("a\u20ACb"), 1},
        {"\xF0\x9F\x98\x80\xF0\x9F\x98\x80x", 1, QStringLiteral("\U0001F600"), 2},
        // Not UTF-8 as a whole: every byte counts, each shown as Latin-1.
        {"\xC3\xA9\xFF\xC3\xA9", 3, QString::fromLatin1("\xC3\xA9\xFF"), 2},
    };
    for (const auto &[bytes, limit, kept, cut] : cases) {
        QString out = QStringLiteral(">");
        EXPECT_EQ(AppendReportTextUpTo(out, bytes, limit), cut) << bytes << " " << limit;
        EXPECT_EQ(out, ">" + kept) << bytes << " " << limit;
    }
}

} // namespace
