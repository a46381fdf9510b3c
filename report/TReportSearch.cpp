#include "TReportSearch.h"

#include "TSearchText.h"

#include <QTextBlock>
#include <QTextDocument>
#include <algorithm>

namespace {

// The end of the text of the line holding Position.
int LineEnd(const QTextDocument *Document, int Position) {
    const QTextBlock block = Document->findBlock(Position);
    return block.position() + block.length() - 1;
}

// A match never spans lines, and how the copy of the text ends its lines
// is its own affair.
bool HoldsLineEnd(const QString &Text) {
    return std::any_of(Text.cbegin(), Text.cend(), TSearchText::EndsLine);
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
    if (HoldsLineEnd(Query.Text)) {
        emit NotFound();
        return;
    }
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
    TSearchText &text = TSearchText::Of(FDocument);
    while (!(FQuery.Backward ? Backward(text, cs) : Forward(text, cs)))
        if (slice.elapsed() >= SliceMs)
            return;
}

// From the start to the end of the report, then from its top to the end of
// the line the search began in, for a match that starts before it began.
bool TReportSearch::Forward(TSearchText &Text, Qt::CaseSensitivity Case) {
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
    const qsizetype at = Text.Text(FPosition, to).indexOf(FQuery.Text, 0, Case);
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
bool TReportSearch::Backward(TSearchText &Text, Qt::CaseSensitivity Case) {
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
    const qsizetype at = Text.Text(from, to).lastIndexOf(FQuery.Text, FPosition - 1 - from, Case);
    if (at >= 0) {
        const int position = from + int(at);
        Finish(FWrapped && position < FQuery.From ? -1 : position);
        return true;
    }
    FPosition = from;
    return false;
}
