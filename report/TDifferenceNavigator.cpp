#include "TDifferenceNavigator.h"

#include "ReportKinds.h"
#include "TReportField.h"
#include "TReportLines.h"

#include <QTextBlock>
#include <QTextDocument>
#include <algorithm>
#include <vector>

std::optional<TDifference> FindDifference(QTextDocument *Document, int From,
                                          TDifferenceSearch Search, int *Runs) {
    // The kinds by block number: a million lines are counted in a moment.
    const std::vector<std::uint8_t> &kinds = TReportLines::Of(Document).Kinds();
    const auto onlyIn = [](std::uint8_t Kind) {
        return Kind == int(TLineKind::OnlyInFirst) + 1 || Kind == int(TLineKind::OnlyInSecond) + 1;
    };
    std::optional<TDifference> found;
    int count = 0;
    bool previousOnlyIn = false;
    const int blocks = int(kinds.size());
    for (int number = 0; number < blocks; ++number) {
        const bool isOnlyIn = onlyIn(kinds[std::size_t(number)]);
        if (isOnlyIn && !previousOnlyIn) {
            ++count;
            const bool wanted =
                Search == TDifferenceSearch::Before
                    ? number < From
                    : !found && (number > From ||
                                 (Search == TDifferenceSearch::AtOrAfter && number == From));
            if (wanted) {
                int last = number;
                while (last + 1 < blocks && onlyIn(kinds[std::size_t(last + 1)]))
                    ++last;
                found = TDifference{number, last, count, 0};
            }
        }
        previousOnlyIn = isOnlyIn;
    }
    if (Runs != nullptr)
        *Runs = count;
    if (found)
        found->Count = count;
    return found;
}

TDifferenceNavigator::TDifferenceNavigator(TReportField *Field) : QObject(Field), FField(Field) {
    const auto left = [this] { FAtDifference = false; };
    connect(Field, &QPlainTextEdit::cursorPositionChanged, this, left);
    connect(Field->document(), &QTextDocument::contentsChanged, this, left);
}

QString TDifferenceNavigator::Go(TDirection Direction) {
    const QTextCursor cursor = FField->textCursor();
    const bool forward = Direction == TDirection::Forward;
    const TDifferenceSearch search = !forward ? TDifferenceSearch::Before
                                     : cursor.position() == 0 && !FAtDifference
                                         ? TDifferenceSearch::AtOrAfter
                                         : TDifferenceSearch::After;
    int runs = 0;
    const auto found = FindDifference(FField->document(), cursor.blockNumber(), search, &runs);
    if (!found)
        return runs == 0 ? QStringLiteral("No differences in the report")
               : forward ? QStringLiteral("No further difference")
                         : QStringLiteral("No earlier difference");
    FField->ShowNearTop(found->Block);
    FField->SetCurrentDifference(found->Block, found->Last);
    FAtDifference = true;
    return QStringLiteral("Difference %1 of %2").arg(found->Index).arg(found->Count);
}

void TDifferenceNavigator::BeginRun(bool Clear) {
    const QTextDocument *document = FField->document();
    // The separator's three lines come first, into an empty report too.
    FRunStart = Clear ? 0 : (document->isEmpty() ? 0 : document->blockCount()) + 3;
}

void TDifferenceNavigator::EndRun() {
    QTextDocument *document = FField->document();
    const int block = std::clamp(FRunStart, 0, document->blockCount() - 1);
    const auto found = FindDifference(document, block, TDifferenceSearch::AtOrAfter);
    if (!found) {
        FField->ShowNearTop(block);
        return;
    }
    FField->ShowNearTop(found->Block);
    FField->SetCurrentDifference(found->Block, found->Last);
    FAtDifference = true;
}
