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

TFieldSink::TFieldSink(QPlainTextEdit *Field, QStatusBar *Status) : FField(Field), FStatus(Status) {
    FSinceDelivery.start();
    FSinceRun.start();
}

void TFieldSink::AppendLine(std::string_view Prefix, std::string_view Text, TLineKind) {
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

void TFieldSink::BeginRun() {
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
    QTextCursor cursor(document);
    cursor.movePosition(QTextCursor::End);
    cursor.beginEditBlock();
    if (!document->isEmpty())
        cursor.insertBlock();
    cursor.insertText(FPending);
    cursor.endEditBlock();
    FPending.clear();
    FPendingLines = 0;
    if (following)
        bar->setValue(bar->maximum());
}

void TFieldSink::ShowProgress(std::size_t Done, std::size_t Total) {
    const int percent = Total == 0 ? 0 : static_cast<int>(Done * 100 / Total);
    if (percent == FShownPercent)
        return;
    FShownPercent = percent;
    FStatus->showMessage(
        QCoreApplication::translate("TFieldSink", "Comparing... %1%").arg(percent));
}
