#include "TFieldSink.h"

#include "InsertLines.h"
#include "ReportText.h"
#include "TReportLines.h"
#include "TSearchText.h"

#include <QCoreApplication>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QStatusBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

TFieldSink::TFieldSink(QPlainTextEdit *Field, QStatusBar *Status)
    : FField(Field), FStatus(Status), FKinds(std::in_place, Field->palette()),
      FMarker([this](std::size_t Line, std::string_view Text, const std::vector<TSpan> &Spans) {
          Marked(Line, Text, Spans);
      }) {
    FSinceDelivery.start();
    FSinceRun.start();
}

void TFieldSink::AppendLine(std::string_view Prefix, std::string_view Text, TLineKind Kind,
                            TLineNumbers Numbers) {
    if (FRuns.empty() || FRuns.back().Kind != Kind)
        FRuns.push_back({Kind, FPending.size()});
    // The label comes from a file name and the text from a file: either may
    // be UTF-8 while the other is not, so each is decoded on its own.
    const qsizetype start = FPending.size();
    AppendReportText(FPending, Prefix);
    const std::size_t prefixLength = static_cast<std::size_t>(FPending.size() - start);
    // Laying out one huge line would freeze the window for seconds.
    TKeptText kept;
    const std::size_t cut = AppendReportTextUpTo(
        FPending, Text, MaxLineLength - std::min(prefixLength, MaxLineLength), &kept);
    const qsizetype textLength = FPending.size() - start - qsizetype(prefixLength);
    if (cut != 0) {
        FPending.append(QStringLiteral(" [\u2026 %1 more characters cut]").arg(cut));
        ++FCutLines;
        // Showing it costs as much as thousands of short lines: the next
        // delivery comes at once, so no two of them wait together.
        FDeliverNow = true;
    }
    FPending.append(QLatin1Char('\n'));
    ++FPendingLines;
    if (!FDecorated)
        return;
    FPendingNumbers.push_back(Numbers);
    FPendingStarts.push_back(start);
    // A cut line is marked as far as it is shown: the marker never holds or
    // walks megabytes nobody sees.
    std::optional<bool> utf8;
    if (cut != 0) {
        Text = Text.substr(0, kept.Bytes);
        utf8 = kept.Utf8;
    }
    if (Kind == TLineKind::OnlyInFirst || Kind == TLineKind::OnlyInSecond) {
        FBlockLines.push_back({qsizetype(prefixLength), textLength, Kind, Numbers, utf8});
        FMarker.Add(Kind, Text);
    } else {
        FMarker.Add(Kind, Text); // ends the open block: its marks come now
        FBlockLines.clear();
        FBlockFirst = FLines + 1;
    }
    ++FLines;
}

void TFieldSink::Marked(std::size_t Line, std::string_view Text, const std::vector<TSpan> &Spans) {
    if (!FKinds)
        return;
    const TBlockLine &line = FBlockLines[Line - FBlockFirst];
    // The shown part of a cut line decodes as the whole line does.
    const bool utf8 = line.Utf8 ? *line.Utf8 : IsValidUtf8(Text);
    const bool buffered = Line >= FPendingFirst;
    const qsizetype at =
        buffered ? FPendingStarts[Line - FPendingFirst] + line.PrefixLength : line.PrefixLength;
    for (const TSpan &span : Spans) {
        // A cut line shows its marks as far as it is shown.
        const qsizetype start = ReportTextOffset(Text, span.Start, utf8);
        const qsizetype end =
            std::min(ReportTextOffset(Text, span.Start + span.Length, utf8), line.TextLength);
        if (start >= end)
            continue;
        if (buffered)
            FPendingMarks.push_back({at + start, end - start, line.Kind});
        else
            FShownMarks.push_back({Line, at + start, end - start, line.Kind, line.Numbers});
    }
}

void TFieldSink::ForgetPending() {
    FPending.clear();
    FPendingLines = 0;
    FRuns.clear();
    FPendingNumbers.clear();
    FPendingStarts.clear();
    FPendingMarks.clear();
}

void TFieldSink::Clear() {
    ForgetPending();
    FShownMarks.clear();
    FBlockLines.clear();
    FMarker.Reset();
    FLines = FPendingFirst = FBlockFirst = 0;
    FField->clear();
}

void TFieldSink::SetStatus(std::string_view Text) {
    // The run's last difference block ends with it.
    FMarker.End();
    FBlockLines.clear();
    FBlockFirst = FLines;
    Flush();
    QString status;
    AppendReportText(status, Text);
    if (FCutLines == 1)
        status += QStringLiteral(" \u2014 1 long line cut");
    else if (FCutLines > 1)
        status += QStringLiteral(" \u2014 %1 long lines cut").arg(FCutLines);
    FStatus->showMessage(status);
    FShownPercent = -1;
    FFiles.reset();
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
    FFiles.reset();
    FShownFiles = 0;
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
    MarkShownLines();
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
    const int firstBlock = intoEmpty ? 0 : document->blockCount();
    const int insertedAt = cursor.position() + (intoEmpty ? 0 : 1);
    std::sort(FPendingMarks.begin(), FPendingMarks.end(),
              [](const TTextMark &A, const TTextMark &B) { return A.Start < B.Start; });
    // Searches read the lines from here rather than from the control.
    TSearchText &searched = TSearchText::Of(document);
    cursor.beginEditBlock();
    if (FKinds) {
        // The empty report's one block may still carry an old format.
        InsertLines(cursor, *FKinds, FPending, FRuns, FPendingMarks, intoEmpty);
    } else {
        if (!document->isEmpty())
            cursor.insertBlock();
        cursor.insertText(FPending);
    }
    cursor.endEditBlock();
    // The lines, and the line ends before and after them.
    if (intoEmpty)
        searched.Known(0, {FPending, u"\n"});
    else
        searched.Known(insertedAt - 1, {u"\n", FPending, u"\n"});
    if (FDecorated)
        NumberLines(firstBlock, insertedAt);
    document->setModified(modified);
    ForgetPending();
    // The control's cursor would be carried along to the end: a new report
    // keeps it at its top, where "Next Difference" starts.
    if (intoEmpty)
        FField->setTextCursor(QTextCursor(document));
    if (following)
        bar->setValue(bar->maximum());
}

void TFieldSink::NumberLines(int First, int InsertedAt) {
    QTextDocument *document = FField->document();
    TReportLines &lines = TReportLines::Of(document);
    const int inserted = lines.Count() - First;
    if (inserted == int(FPendingNumbers.size())) {
        lines.SetNumbers(First, FPendingNumbers);
    } else {
        // A line holding a paragraph separator (U+2029) became two blocks:
        // each line's numbers go to the block its text starts in.
        std::vector<TLineNumbers> numbers(std::size_t(std::max(inserted, 0)));
        for (std::size_t k = 0; k < FPendingNumbers.size(); ++k) {
            const int block =
                document->findBlock(InsertedAt + int(FPendingStarts[k])).blockNumber() - First;
            if (block >= 0 && block < inserted)
                numbers[std::size_t(block)] = FPendingNumbers[k];
        }
        lines.SetNumbers(First, numbers);
    }
    // Later marks find the lines shown now by number.
    FBlockBase = qsizetype(First) - qsizetype(FPendingFirst);
    FPendingFirst = FLines;
}

void TFieldSink::MarkShownLines() {
    if (FShownMarks.empty() || !FKinds)
        return;
    QTextDocument *document = FField->document();
    // Marks are the report's own, no change of the user's (see isModified).
    const bool modified = document->isModified();
    const TReportLines &lines = TReportLines::Of(document);
    QTextCursor cursor(document);
    cursor.beginEditBlock();
    for (const TMark &mark : FShownMarks) {
        // A line typed in meanwhile moves the others: their numbers tell.
        const qsizetype number = qsizetype(mark.Line) + FBlockBase;
        if (number < 0 || number >= lines.Count())
            continue;
        const std::optional<TLineNumbers> numbers = lines.Numbers(int(number));
        const QTextBlock block = document->findBlockByNumber(int(number));
        if (!numbers || numbers->First != mark.Numbers.First ||
            numbers->Second != mark.Numbers.Second || block.length() - 1 < mark.Start + mark.Length)
            continue;
        cursor.setPosition(block.position() + int(mark.Start));
        cursor.setPosition(block.position() + int(mark.Start + mark.Length),
                           QTextCursor::KeepAnchor);
        cursor.setCharFormat(FKinds->MarkFormat(mark.Kind));
    }
    cursor.endEditBlock();
    document->setModified(modified);
    FShownMarks.clear();
}

void TFieldSink::FilesRead(std::size_t Lines1, std::size_t Lines2) {
    TReportLines &lines = TReportLines::Of(FField->document());
    // Room for the most lines the report can get; what goes unused is
    // never touched, so costs no memory.
    lines.Reserve(std::size_t(lines.Count()) + FPendingLines + Lines1 + Lines2 + 1);
    if (FDecorated)
        lines.Announce({Lines1, Lines2});
}

void TFieldSink::ShowProgress(std::size_t Done, std::size_t Total) {
    if (FFiles) {
        if (*FFiles == FShownFiles)
            return;
        FShownFiles = *FFiles;
        FShownPercent = -1;
        FStatus->showMessage(FShownFiles == 1
                                 ? QStringLiteral("Comparing\u2026 1 file")
                                 : QStringLiteral("Comparing\u2026 %1 files").arg(FShownFiles));
        return;
    }
    const int percent = Total == 0 ? 0 : static_cast<int>(Done * 100 / Total);
    if (percent == FShownPercent)
        return;
    FShownPercent = percent;
    FStatus->showMessage(
        QCoreApplication::translate("TFieldSink", "Comparing... %1%").arg(percent));
}
