#include "GoToLine.h"

#include "ReportKinds.h"
#include "TReportLines.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <gtest/gtest.h>

namespace {

using TNote = TLineTarget::TNote;

// Two runs parted by a separator, with lines left out as -d leaves them.
//   0: only in a, line 2        5: separator
//   1: only in b, line 2        6: separator
//   2: common, a 3 / b 3        7: separator
//   3: only in b, line 5        8: common, a 1 / b 1
//   4: typed by the user        9: only in a, line 2
const std::vector<std::pair<TLineKind, TLineNumbers>> Lines = {
    {TLineKind::OnlyInFirst, {2, 0}}, {TLineKind::OnlyInSecond, {0, 2}},
    {TLineKind::Common, {3, 3}},      {TLineKind::OnlyInSecond, {0, 5}},
    {TLineKind::Common, {0, 0}},      {TLineKind::Separator, {}},
    {TLineKind::Separator, {}},       {TLineKind::Separator, {}},
    {TLineKind::Common, {1, 1}},      {TLineKind::OnlyInFirst, {2, 0}}};

struct TGoCase {
    const char *Name;
    TLineChoice Choice;
    std::size_t Number;
    int Near;
    TLineTarget Target;
};

class GoToLineTest : public testing::TestWithParam<TGoCase> {};

TEST_P(GoToLineTest, FindsTheLineThatShowsIt) {
    QPlainTextEdit field;
    QStringList text;
    for (std::size_t k = 0; k < Lines.size(); ++k)
        text << QStringLiteral("line %1").arg(k);
    field.setPlainText(text.join('\n'));
    // Kinds as the block formats give them, numbers as the sink sets them.
    std::vector<TLineNumbers> numbers;
    for (QTextBlock block = field.document()->begin(); block.isValid(); block = block.next()) {
        const auto [kind, lineNumbers] = Lines[std::size_t(block.blockNumber())];
        QTextCursor(block).setBlockFormat(TReportKinds(field.palette()).BlockFormat(kind));
        numbers.push_back(lineNumbers);
    }
    TReportLines::Of(field.document()).SetNumbers(0, numbers);
    const TGoCase &c = GetParam();
    const TLineTarget target = FindLine(field.document(), c.Choice, c.Number, c.Near);
    EXPECT_EQ(target.Block, c.Target.Block);
    EXPECT_EQ(int(target.Note), int(c.Target.Note));
    EXPECT_EQ(target.Last, c.Target.Last);
}

constexpr TLineChoice Report = TLineChoice::Report, A = TLineChoice::FirstFile,
                      B = TLineChoice::SecondFile;

INSTANTIATE_TEST_SUITE_P(
    Choices, GoToLineTest,
    testing::Values(TGoCase{"ReportLine", Report, 4, 9, {3, TNote::Exact}},
                    TGoCase{"ReportLinePastTheEnd", Report, 11, 0, {9, TNote::PastTheEnd, 10}},
                    TGoCase{"OnlyInTheFirstFile", A, 2, 0, {0, TNote::Exact}},
                    TGoCase{"ACommonLineByEitherFile", B, 3, 4, {2, TNote::Exact}},
                    TGoCase{"LeftOutGoesToTheNextShown", A, 1, 2, {0, TNote::NotInReport}},
                    TGoCase{"LeftOutInTheOtherFile", B, 4, 0, {3, TNote::NotInReport}},
                    TGoCase{"PastTheFilesLastShownLine", A, 7, 1, {2, TNote::PastTheEnd, 3}},
                    // The run the cursor is in, or the one after a separator.
                    TGoCase{"TheSecondRun", A, 2, 9, {9, TNote::Exact}},
                    TGoCase{"FromASeparator", A, 1, 6, {8, TNote::Exact}},
                    TGoCase{"PastTheEndInTheSecondRun", B, 2, 9, {8, TNote::PastTheEnd, 1}},
                    TGoCase{"LineZeroIsNoLine", A, 0, 0, {-1, TNote::Nothing}}),
    [](const testing::TestParamInfo<TGoCase> &Row) { return std::string(Row.param.Name); });

// The empty report, and one of typed lines only: nowhere to go for a file.
TEST(GoToLine, NothingToGoToSaysSo) {
    QPlainTextEdit field;
    EXPECT_EQ(GoToLine(&field, TLineChoice::Report, 1, "a.txt"), "The report is empty");
    field.setPlainText(QStringLiteral("typed\nlines"));
    EXPECT_EQ(GoToLine(&field, TLineChoice::FirstFile, 1, "a.txt"),
              "No line of a.txt is in this report");
    EXPECT_EQ(GoToLine(&field, TLineChoice::Report, 2, "a.txt"), "");
    EXPECT_EQ(field.textCursor().blockNumber(), 1);
}

} // namespace
