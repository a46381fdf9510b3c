#include "TReportSearch.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>

namespace {

// The end of the text of the line holding Position.
int LineEnd(const QTextDocument *Document, int Position) {
    const QTextBlock block = Document->findBlock(Position);
    return block.position() + block.length() - 1;
}

// The text from From to To, lines parted by U+2029: one position a
// character, as in the document.
QString TextBetween(QTextCursor &Cursor, int From, int To) {
    Cursor.setPosition(From);
    Cursor.setPosition(To, QTextCursor::KeepAnchor);
    return Cursor.selectedText();
}

} // namespace

TReportSearch::TReportSearch(QTextDocument *Document, QObject *Parent)
    : QObject(Parent), FDocument(Document) {
    FTimer.setInterval(0);
    connect(&FTimer, &QTimer::timeout, this, &TReportSearch::Step);
}

void TReportSearch::Start(const TQuery &Query) {
    Cancel();
    if (Query.Text.isEmpty() || !FDocument)
        return;
    FQuery = Query;
    FQuery.From = std::clamp(Query.From, 0, FDocument->characterCount() - 1);
    FPosition = FQuery.From;
    FStartLineEnd = LineEnd(FDocument, FQuery.From);
    FWrapped = false;
    FTimer.start();
    // A search that ends within one slice answers at once.
    Step();
}

void TReportSearch::Cancel() {
    FTimer.stop();
}

void TReportSearch::Finish(int Position) {
    FTimer.stop();
    if (Position < 0)
        emit NotFound();
    else
        emit Found(Position, int(FQuery.Text.size()), FWrapped);
}

void TReportSearch::Step() {
    if (!FDocument) {
        Cancel();
        return;
    }
    QElapsedTimer slice;
    slice.start();
    const Qt::CaseSensitivity cs = FQuery.MatchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    QTextCursor cursor(FDocument);
    while (!(FQuery.Backward ? Backward(cursor, cs) : Forward(cursor, cs)))
        if (slice.elapsed() >= SliceMs)
            return;
}

// From the start to the end of the report, then from its top to the end of
// the line the search began in, for a match that starts before it began.
bool TReportSearch::Forward(QTextCursor &Cursor, Qt::CaseSensitivity Case) {
    const int end = FDocument->characterCount() - 1;
    const int limit = FWrapped ? std::min(FStartLineEnd, end) : end;
    if (FPosition >= limit) {
        if (FWrapped) {
            Finish(-1);
            return true;
        }
        FWrapped = true;
        FPosition = 0;
        return false;
    }
    const int to =
        std::min(limit, LineEnd(FDocument, std::min(FPosition + PieceCharacters, limit)));
    const qsizetype at = TextBetween(Cursor, FPosition, to).indexOf(FQuery.Text, 0, Case);
    if (at >= 0) {
        const int position = FPosition + int(at);
        Finish(FWrapped && position >= FQuery.From ? -1 : position);
        return true;
    }
    FPosition = to + 1;
    return false;
}

// Matches starting before the start, back to the top; then, from the end of
// the report, those starting at or after it.
bool TReportSearch::Backward(QTextCursor &Cursor, Qt::CaseSensitivity Case) {
    const int lowest = FWrapped ? FQuery.From : 0;
    if (FPosition <= lowest) {
        if (FWrapped) {
            Finish(-1);
            return true;
        }
        FWrapped = true;
        FPosition = FDocument->characterCount() - 1;
        return false;
    }
    const int from = FDocument->findBlock(std::max(0, FPosition - PieceCharacters)).position();
    // A match may start before FPosition and end after it.
    const int to = LineEnd(FDocument, FPosition - 1);
    const qsizetype at =
        TextBetween(Cursor, from, to).lastIndexOf(FQuery.Text, FPosition - 1 - from, Case);
    if (at >= 0) {
        const int position = from + int(at);
        Finish(FWrapped && position < FQuery.From ? -1 : position);
        return true;
    }
    FPosition = from;
    return false;
}
