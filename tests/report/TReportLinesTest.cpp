#include "TReportLines.h"

#include "ReportTestSupport.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <functional>
#include <gtest/gtest.h>

namespace {

// An edit of the report "aaa", "bbb", "ccc" (or Start), whose lines stand at
// 1, 2 and 3 in both files; Expected shows each block afterwards as
// "text:number", "-" where it has none, the blocks parted by spaces.
struct TEditCase {
    const char *Name;
    std::function<void(QTextDocument *)> Edit;
    QString Expected;
    QString Start = QStringLiteral("aaa\nbbb\nccc");
};

QTextCursor At(QTextDocument *Document, int Block, int Column) {
    QTextCursor cursor(Document->findBlockByNumber(Block));
    cursor.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, Column);
    return cursor;
}

// Selects from (Block, Column) to (ToBlock, ToColumn).
QTextCursor Span(QTextDocument *Document, int Block, int Column, int ToBlock, int ToColumn) {
    QTextCursor cursor = At(Document, Block, Column);
    const QTextCursor to = At(Document, ToBlock, ToColumn);
    cursor.setPosition(to.position(), QTextCursor::KeepAnchor);
    return cursor;
}

class ReportLinesTest : public testing::TestWithParam<TEditCase> {};

TEST_P(ReportLinesTest, NumbersStayWithTheirLines) {
    QPlainTextEdit field;
    QTextDocument *document = field.document();
    document->setPlainText(GetParam().Start);
    TReportLines &lines = TReportLines::Of(document);
    lines.SetNumbers(0, {{1, 1}, {2, 2}, {3, 3}});
    GetParam().Edit(document);
    QStringList shown;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        const auto numbers = lines.Numbers(block.blockNumber());
        shown << block.text() + ':' +
                     (numbers ? QString::number(numbers->First) : QStringLiteral("-"));
    }
    EXPECT_EQ(shown.join(' '), GetParam().Expected);
    EXPECT_EQ(lines.Count(), document->blockCount());
}

const TEditCase EditCases[] = {
    {"SplitKeepsTheFirstPart", [](auto *D) { At(D, 1, 1).insertBlock(); }, "aaa:1 b:2 bb:- ccc:3"},
    {"EnterAtALinesStartMovesItDown", [](auto *D) { At(D, 1, 0).insertBlock(); },
     "aaa:1 :- bbb:2 ccc:3"},
    {"EnterAtALinesEnd", [](auto *D) { At(D, 1, 3).insertBlock(); }, "aaa:1 bbb:2 :- ccc:3"},
    {"PastedLinesAtALinesStart", [](auto *D) { At(D, 1, 0).insertText(QStringLiteral("x\ny\n")); },
     "aaa:1 x:- y:- bbb:2 ccc:3"},
    {"ALineDeletedWithTheEndAfterIt", [](auto *D) { Span(D, 1, 0, 2, 0).removeSelectedText(); },
     "aaa:1 ccc:3"},
    {"ALineDeletedWithTheEndBeforeIt", [](auto *D) { Span(D, 0, 3, 1, 3).removeSelectedText(); },
     "aaa:1 ccc:3"},
    {"AJoinKeepsTheFirstLine", [](auto *D) { At(D, 1, 0).deletePreviousChar(); }, "aaabbb:1 ccc:3"},
    {"APartialDeleteAcrossLines", [](auto *D) { Span(D, 0, 0, 1, 1).removeSelectedText(); },
     "bb:2 ccc:3"},
    {"ALinesStartRetyped", [](auto *D) { Span(D, 1, 0, 1, 1).insertText(QStringLiteral("X")); },
     "aaa:1 Xbb:2 ccc:3"},
    {"ALinesTextDeleted", [](auto *D) { Span(D, 1, 0, 1, 3).removeSelectedText(); },
     "aaa:1 :2 ccc:3"},
    {"EverythingReplaced",
     [](auto *D) {
         QTextCursor cursor(D);
         cursor.select(QTextCursor::Document);
         cursor.insertText(QStringLiteral("new\n"));
     },
     "new:- :-", QStringLiteral("aaa\nbbb\n")},
    {"EmptiedReport", [](auto *D) { D->clear(); }, ":-"},
    // A block format reaches past the last line's end (a recolouring).
    {"TheLastLineRecoloured",
     [](auto *D) {
         QTextBlockFormat format;
         format.setBackground(Qt::yellow);
         At(D, 2, 0).setBlockFormat(format);
     },
     "aaa:1 bbb:2 ccc:3"},
    // An empty line split keeps its numbers on the first part, as text
    // appended after a report's last line leaves that line its own.
    {"EnterOnAnEmptyLine", [](auto *D) { At(D, 1, 0).insertBlock(); }, "aaa:1 :2 :- ccc:3",
     QStringLiteral("aaa\n\nccc")},
};

INSTANTIATE_TEST_SUITE_P(Edits, ReportLinesTest, testing::ValuesIn(EditCases),
                         [](const auto &Row) { return std::string(Row.param.Name); });

} // namespace
