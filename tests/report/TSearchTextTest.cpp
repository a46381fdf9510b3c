#include "TSearchText.h"

#include "Compare.h"
#include "ReportTestSupport.h"
#include "TFieldSink.h"

#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTextCursor>
#include <QTextDocument>
#include <gtest/gtest.h>
#include <random>

namespace {

QString Lines(QString Text) {
    return Text.replace(QChar::ParagraphSeparator, u'\n');
}

// The copy's text against the document's own, whole and in parts.
void ExpectSameText(QTextDocument &Document, std::mt19937 &Random) {
    TSearchText &copy = TSearchText::Of(&Document);
    const QString raw = Lines(Document.toRawText());
    const int end = Document.characterCount() - 1;
    ASSERT_EQ(Lines(copy.Text(0, end).toString()), raw.left(end));
    for (int k = 0; k < 5; ++k) {
        const int from = std::uniform_int_distribution(0, end)(Random);
        const int to = std::uniform_int_distribution(from, end)(Random);
        ASSERT_EQ(Lines(copy.Text(from, to).toString()), raw.mid(from, to - from))
            << from << ".." << to;
    }
}

// Whatever happens to the text (lines handed in as the report's own, typing,
// deletions, text retyped in place, formats, undo, a new text), the copy
// says what the document holds.
TEST(SearchText, FollowsEveryChangeOfTheDocument) {
    std::mt19937 random(20261207);
    QPlainTextEdit field;
    QTextDocument &document = *field.document();
    TSearchText::Of(&document);
    const auto pick = [&](int From, int To) {
        return std::uniform_int_distribution(From, To)(random);
    };
    const QString alphabet = QStringLiteral("ab c\u00e9\n");
    const auto someText = [&](int Length) {
        QString text;
        for (int k = 0; k < Length; ++k)
            text += alphabet.at(pick(0, int(alphabet.size()) - 1));
        return text;
    };
    for (int step = 0; step < 400; ++step) {
        QTextCursor cursor(&document);
        const int end = document.characterCount() - 1;
        switch (pick(0, 7)) {
        case 0: { // lines appended as the report's sink does
            const QString lines = someText(pick(1, 6000)).remove(u'\n') + QStringLiteral("\nx");
            cursor.movePosition(QTextCursor::End);
            const bool empty = document.isEmpty();
            const int at = cursor.position();
            cursor.beginEditBlock();
            if (!empty)
                cursor.insertBlock();
            cursor.insertText(lines);
            cursor.endEditBlock();
            if (empty)
                TSearchText::Of(&document).Known(0, {lines, u"\n"});
            else
                TSearchText::Of(&document).Known(at, {u"\n", lines, u"\n"});
            break;
        }
        case 1:
        case 2: // typing
            cursor.setPosition(pick(0, end));
            cursor.insertText(someText(pick(1, 3)));
            break;
        case 3: { // a deletion, short or long
            const int from = pick(0, end);
            cursor.setPosition(from);
            cursor.setPosition(pick(from, std::min(end, from + (pick(0, 1) ? 5 : 9000))),
                               QTextCursor::KeepAnchor);
            cursor.removeSelectedText();
            break;
        }
        case 4: { // text retyped in place: as long as what it replaces
            const int from = pick(0, end);
            const int to = pick(from, std::min(end, from + 6000));
            cursor.setPosition(from);
            cursor.setPosition(to, QTextCursor::KeepAnchor);
            cursor.insertText(someText(to - from).remove(u'\n').leftJustified(to - from, u'z'));
            break;
        }
        case 5: { // formats only
            QTextCharFormat bold;
            bold.setFontWeight(QFont::Bold);
            cursor.setPosition(pick(0, end));
            cursor.setPosition(pick(0, end), QTextCursor::KeepAnchor);
            cursor.mergeCharFormat(bold);
            break;
        }
        case 6:
            pick(0, 1) ? document.undo() : document.redo();
            break;
        default:
            if (pick(0, 20) == 0)
                document.setPlainText(someText(pick(0, 50)));
        }
        ASSERT_NO_FATAL_FAILURE(ExpectSameText(document, random)) << "step " << step;
    }
}

// A caller wrong about where its text went is not believed.
TEST(SearchText, TextThatIsNotThereIsNotTaken) {
    QTextDocument document;
    TSearchText &copy = TSearchText::Of(&document);
    QTextCursor(&document).insertText(QStringLiteral("alpha\nbeta"));
    copy.Known(0, {u"alpha\nbetA\n"});
    copy.Known(6, {u"beta\n", u"and more"});
    EXPECT_EQ(Lines(copy.Text(0, 10).toString()), QStringLiteral("alpha\nbeta"));
}

// The report's own lines are handed in as they go into the control: a
// search after a run reads nothing back from it.
TEST(SearchText, ARunLeavesNothingToReadBack) {
    QPlainTextEdit field;
    QStatusBar status;
    TFieldSink sink(&field, &status);
    QByteArray first, second;
    for (int i = 0; i < 30000; ++i) {
        first += "line " + QByteArray::number(i) + '\n';
        second += "line " + QByteArray::number(i % 7 ? i : -i) + '\n';
    }
    const TCompareRequest request{
        .FileName1 = WriteScratchFile(QStringLiteral("search/a.txt"), first).toStdString(),
        .FileName2 = WriteScratchFile(QStringLiteral("search/b.txt"), second).toStdString()};
    sink.BeginRun();
    RunComparison(request, sink);
    TSearchText &copy = TSearchText::Of(field.document());
    EXPECT_EQ(copy.Unread(), 0);
    std::mt19937 random(7);
    ExpectSameText(*field.document(), random);
}

} // namespace
