#include "TDifferenceNavigator.h"

#include "ReportKinds.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextDocument>

TDifferenceNavigator::TDifferenceNavigator(QPlainTextEdit *Field) : QObject(Field), FField(Field) {
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
    FField->setTextCursor(QTextCursor(FField->document()->findBlockByNumber(found->Block)));
    FField->ensureCursorVisible();
    FAtDifference = true;
    return QStringLiteral("Difference %1 of %2").arg(found->Index).arg(found->Count);
}
