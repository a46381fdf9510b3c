#include "TFieldSink.h"

#include "ReportText.h"

#include <QCoreApplication>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QStatusBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

TFieldSink::TFieldSink(QPlainTextEdit *Field, QStatusBar *Status)
    : FField(Field), FStatus(Status), FKinds(std::in_place, Field->palette()) {
    FSinceDelivery.start();
    FSinceRun.start();
}

void TFieldSink::AppendLine(std::string_view Prefix, std::string_view Text, TLineKind Kind,
                            TLineNumbers) {
    if (FRuns.empty() || FRuns.back().first != Kind)
        FRuns.emplace_back(Kind, FPending.size());
    // The label comes from a file name and the text from a file: either may
    // be UTF-8 while the other is not, so each is decoded on its own.
    const qsizetype start = FPending.size();
    AppendReportText(FPending, Prefix);
    const std::size_t prefixLength = static_cast<std::size_t>(FPending.size() - start);
    // Laying out one huge line would freeze the window for seconds.
    const std::size_t cut =
        AppendReportTextUpTo(FPending, Text, MaxLineLength - std::min(prefixLength, MaxLineLength));
    if (cut != 0) {
        FPending.append(QStringLiteral(" [\u2026 %1 more characters cut]").arg(cut));
        ++FCutLines;
        // Showing it costs as much as thousands of short lines: the next
        // delivery comes at once, so no two of them wait together.
        FDeliverNow = true;
    }
    FPending.append(QLatin1Char('\n'));
    ++FPendingLines;
}

void TFieldSink::Clear() {
    FPending.clear();
    FPendingLines = 0;
    FRuns.clear();
    FField->clear();
}

void TFieldSink::SetStatus(std::string_view Text) {
    Flush();
    QString status;
    AppendReportText(status, Text);
    if (FCutLines == 1)
        status += QStringLiteral(" \u2014 1 long line cut");
    else if (FCutLines > 1)
        status += QStringLiteral(" \u2014 %1 long lines cut").arg(FCutLines);
    FStatus->showMessage(status);
    FShownPercent = -1;
    FStatistics.LastWait = FSinceDelivery.nsecsElapsed();
}

void TFieldSink::SetColoured(bool Coloured) {
    if (Coloured)
        FKinds.emplace(FField->palette());
    else
        FKinds.reset();
}

void TFieldSink::Recolour() {
    if (!FKinds)
        return;
    const TReportKinds kinds(FField->palette());
    if (kinds == *FKinds)
        return;
    FKinds = kinds;
    QTextDocument *document = FField->document();
    // With nothing to undo, recolouring 1,000,000 lines need not fill the
    // undo history with one entry per line.
    const bool quiet = document->isUndoRedoEnabled() && !document->isUndoAvailable() &&
                       !document->isRedoAvailable();
    if (quiet)
        document->setUndoRedoEnabled(false);
    const bool modified = document->isModified();
    QTextCursor cursor(document);
    cursor.beginEditBlock();
    for (QTextBlock block = document->begin(); block.isValid();) {
        const std::optional<TLineKind> kind = BlockKind(block);
        QTextBlock last = block;
        while (last.next().isValid() && BlockKind(last.next()) == kind)
            last = last.next();
        if (kind) {
            cursor.setPosition(block.position());
            cursor.setPosition(last.position() + last.length() - 1, QTextCursor::KeepAnchor);
            cursor.setBlockFormat(FKinds->BlockFormat(*kind));
            cursor.setCharFormat(FKinds->CharFormat(*kind));
        }
        block = last.next();
    }
    cursor.endEditBlock();
    document->setModified(modified);
    if (quiet)
        document->setUndoRedoEnabled(true);
}

void TFieldSink::BeginRun() {
    // The palette may have changed since the last run (a theme switch).
    if (FKinds)
        FKinds.emplace(FField->palette());
    FDeliverNow = true;
    FCutLines = 0;
    FStatistics = TStatistics();
    FSinceRun.start();
}

void TFieldSink::ProcessMessages(std::size_t Done, std::size_t Total) {
    // The walk outruns the control by far: the buffer is capped too, so
    // that appending it never keeps events waiting long.
    if (!FDeliverNow && FPendingLines < FlushLines && FSinceDelivery.elapsed() < FlushIntervalMs)
        return;
    FDeliverNow = false;
    Flush();
    ShowProgress(Done, Total);
    if (FStatistics.Deliveries++ == 0)
        FStatistics.FirstWait = FSinceRun.nsecsElapsed();
    else
        FStatistics.LongestGap = std::max(FStatistics.LongestGap, FSinceDelivery.nsecsElapsed());
    QCoreApplication::processEvents();
    FSinceDelivery.restart();
}

void TFieldSink::Flush() {
    if (FPending.isEmpty())
        return;
    FPending.chop(1); // the last line's end: the control has no final line end
    QScrollBar *bar = FField->verticalScrollBar();
    const bool following = bar->value() == bar->maximum();
    QTextDocument *document = FField->document();
    // The report's own lines are no change of the user's (see isModified).
    const bool modified = document->isModified();
    QTextCursor cursor(document);
    cursor.movePosition(QTextCursor::End);
    const bool intoEmpty = document->isEmpty();
    cursor.beginEditBlock();
    if (FKinds) {
        InsertColoured(cursor, intoEmpty);
    } else {
        if (!document->isEmpty())
            cursor.insertBlock();
        cursor.insertText(FPending);
    }
    cursor.endEditBlock();
    document->setModified(modified);
    FPending.clear();
    FPendingLines = 0;
    FRuns.clear();
    // The control's cursor would be carried along to the end: a new report
    // keeps it at its top, where "Next Difference" starts.
    if (intoEmpty)
        FField->setTextCursor(QTextCursor(document));
    if (following)
        bar->setValue(bar->maximum());
}

void TFieldSink::InsertColoured(QTextCursor &Cursor, bool IntoEmpty) {
    for (std::size_t i = 0; i < FRuns.size(); ++i) {
        const auto [kind, start] = FRuns[i];
        // A run ends before the line end that precedes the next run.
        const qsizetype end = i + 1 < FRuns.size() ? FRuns[i + 1].second - 1 : FPending.size();
        const QTextCharFormat &characters = FKinds->CharFormat(kind);
        if (i == 0 && IntoEmpty) {
            // The empty report's one block may still carry an old format.
            Cursor.setBlockFormat(FKinds->BlockFormat(kind));
            Cursor.setBlockCharFormat(characters);
        } else {
            Cursor.insertBlock(FKinds->BlockFormat(kind), characters);
        }
        Cursor.insertText(FPending.mid(start, end - start), characters);
    }
}

void TFieldSink::ShowProgress(std::size_t Done, std::size_t Total) {
    const int percent = Total == 0 ? 0 : static_cast<int>(Done * 100 / Total);
    if (percent == FShownPercent)
        return;
    FShownPercent = percent;
    FStatus->showMessage(
        QCoreApplication::translate("TFieldSink", "Comparing... %1%").arg(percent));
}
