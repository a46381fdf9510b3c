#include "LongLineShaping.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>
#include <gtest/gtest.h>
#include <vector>

namespace {

// The numbers of the lines whose shaping is kept.
std::vector<int> Shaped(const QPlainTextEdit &Field) {
    std::vector<int> Lines;
    for (QTextBlock Block = Field.document()->begin(); Block.isValid(); Block = Block.next())
        if (Block.layout()->cacheEnabled())
            Lines.push_back(Block.blockNumber());
    return Lines;
}

// The long lines in view keep their shaping, at most MaxShapedLines of
// them, the nearest to the cursor; a short line never does, and a line that
// left the view or the cursor's neighbourhood gives it up.
TEST(LongLineShaping, KeepsTheLongLinesInViewNearestTheCursor) {
    QPlainTextEdit Field;
    Field.setLineWrapMode(QPlainTextEdit::NoWrap);
    // Lines 0 to 11 are long but for line 1; line 212 is long, far below.
    const QString Long(LongLineLength, QLatin1Char('x'));
    QStringList Lines;
    for (int Line = 0; Line < 213; ++Line)
        Lines << ((Line < 12 && Line != 1) || Line == 212 ? Long : QStringLiteral("short"));
    Field.setPlainText(Lines.join(QLatin1Char('\n')));
    KeepLongLinesShaped(&Field);
    Field.resize(300, 40 * Field.fontMetrics().lineSpacing());
    Field.show();
    QApplication::processEvents();
    const auto Paint = [&] {
        Field.viewport()->repaint();
        return Shaped(Field);
    };
    ASSERT_EQ(Paint(), (std::vector<int>{0, 2, 3, 4, 5, 6, 7, 8}));
    QTextCursor Cursor(Field.document()->findBlockByNumber(11));
    Field.setTextCursor(Cursor);
    EXPECT_EQ(Paint(), (std::vector<int>{4, 5, 6, 7, 8, 9, 10, 11}));
    Field.verticalScrollBar()->setValue(Field.verticalScrollBar()->maximum());
    EXPECT_EQ(Paint(), std::vector<int>{212});
}

} // namespace
