#include "TLineGutter.h"

#include "ReportTestSupport.h"
#include "TReportField.h"
#include "TReportLines.h"

#include <gtest/gtest.h>

namespace {

// Two columns right-aligned to the widths of the greatest numbers, a space
// between them; blanks for a number a line does not have.
TEST(LineGutter, ColumnsAlignTheNumbersAndLeaveBlanks) {
    const struct {
        TLineNumbers Numbers, Largest;
        QString Shown;
    } cases[] = {
        {{7, 7}, {9, 9}, "7 7"},
        {{7, 0}, {12, 9}, " 7  "},
        {{0, 12}, {100, 12}, "    12"},
        {{0, 0}, {1, 1}, "   "},
        {{123456, 1}, {123456, 0}, "123456 1"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(TLineGutter::Columns(c.Numbers, c.Largest), c.Shown);
}

// The gutter is as wide as its greatest numbers need, and says nothing
// beside a line that stands in no file.
TEST(LineGutter, GrowsWithTheNumbers) {
    TReportField field;
    field.setPlainText(QStringLiteral("one\ntwo\ntyped"));
    TLineGutter *gutter = field.Gutter();
    const int narrow = gutter->WidthNeeded();
    TReportLines::Of(field.document()).SetNumbers(0, {{9, 0}, {10000, 3}});
    EXPECT_GT(gutter->WidthNeeded(), narrow);
    EXPECT_EQ(gutter->LineText(1), "10000 3");
    EXPECT_EQ(gutter->LineText(2), "       ");
    EXPECT_EQ(field.viewport()->x() - field.frameWidth(), gutter->WidthNeeded());
}

} // namespace
