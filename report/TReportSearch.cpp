#include "TReportSearch.h"

#include <QTextBlock>
#include <QTextDocument>

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
    const QTextBlock block = FDocument->findBlock(Query.From);
    FStartBlock = FBlock = block.blockNumber();
    FStartOffset = Query.From - block.position();
    FFirst = true;
    FWrapped = false;
    FTimer.start();
    // A search that ends within one slice answers at once.
    Step();
}

void TReportSearch::Cancel() {
    FTimer.stop();
}

// Each block is looked in once, the block it began in twice: first after
// the position it began at, at the end before it.
void TReportSearch::Step() {
    if (!FDocument) {
        Cancel();
        return;
    }
    QElapsedTimer slice;
    slice.start();
    const Qt::CaseSensitivity cs = FQuery.MatchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    const bool backward = FQuery.Backward;
    QTextBlock block = FDocument->findBlockByNumber(FBlock);
    for (int looked = 1;; ++looked) {
        if (!block.isValid()) {
            // Past either end: once around, or the report changed under it.
            if (FWrapped) {
                FTimer.stop();
                emit NotFound();
                return;
            }
            FWrapped = true;
            block = backward ? FDocument->lastBlock() : FDocument->firstBlock();
            FBlock = block.blockNumber();
        }
        const bool start = FBlock == FStartBlock;
        const bool again = start && !FFirst;
        const QString text = block.text();
        qsizetype at = -1;
        if (!backward)
            at = text.indexOf(FQuery.Text, start && FFirst ? FStartOffset : 0, cs);
        else if (!(start && FFirst))
            at = text.lastIndexOf(FQuery.Text, -1, cs);
        else if (FStartOffset > 0)
            at = text.lastIndexOf(FQuery.Text, FStartOffset - 1, cs);
        if (again && (backward ? at < FStartOffset : at >= FStartOffset))
            at = -1;
        if (at >= 0) {
            FTimer.stop();
            emit Found(block.position() + int(at), int(FQuery.Text.size()), FWrapped);
            return;
        }
        if (again) {
            FTimer.stop();
            emit NotFound();
            return;
        }
        FFirst = FFirst && !start;
        block = backward ? block.previous() : block.next();
        FBlock += backward ? -1 : 1;
        if (looked % 64 == 0 && slice.elapsed() >= SliceMs)
            return;
    }
}
