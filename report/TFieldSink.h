#pragma once

#include "InsertLines.h"
#include "ReportKinds.h"
#include "TChangeMarker.h"
#include "TReportSink.h"

#include <QElapsedTimer>
#include <QString>
#include <cstddef>
#include <optional>
#include <utility>
#include <vector>

class QPlainTextEdit;
class QTextCursor;
class QStatusBar;

// The report window's sink: report lines go to a plain-text control, the
// status text to a status bar. Each line's numbers go to the document's
// TReportLines, and the changed characters of changed lines are marked
// (TChangeMarker) in the stronger tint of their kind. Lines are buffered and handed to the control
// in one insertion right before pending events are delivered, and both
// happen only when FlushIntervalMs have passed since the last delivery or
// FlushLines lines are waiting (and always at the first step of a run). So a walk costs neither a
// widget update nor an event round per line, while a command run from the delivery (a Stop, "&New",
// a nested run) still sees every line appended so far.
class TFieldSink : public TReportSink {
public:
    TFieldSink(QPlainTextEdit *Field, QStatusBar *Status);

    // A line longer than MaxLineLength characters is shown cut there,
    // followed by " [… N more characters cut]".
    void AppendLine(std::string_view Prefix, std::string_view Text, TLineKind Kind,
                    TLineNumbers Numbers) override;
    // Drops the buffered lines and empties the control.
    void Clear() override;
    // Flushes first, so the status never runs ahead of the report. When the
    // run cut lines, the status says how many.
    void SetStatus(std::string_view Text) override;
    void ProcessMessages(std::size_t Done, std::size_t Total) override;
    // From now to the end of the run the progress shown is "Comparing… K
    // files".
    void FilesCompared(std::size_t Count) override { FFiles = Count; }
    // The gutter takes its width for the run's numbers before they come.
    void FilesRead(std::size_t Lines1, std::size_t Lines2) override;

    // Makes the next ProcessMessages deliver at once and starts counting
    // cut lines afresh: the start of a run.
    void BeginRun();
    // Appends the buffered lines to the control now. The control's text is
    // taken as a list of lines: an empty control holds none, otherwise a new
    // line starts after its last one. The document's modified flag stays as
    // it was: it tells the user's own changes.
    void Flush();
    // Lines show in the colours of their kinds (the default); without, the
    // report is plain as it was, for the benchmark's reference run.
    void SetColoured(bool Coloured);
    // Lines keep their numbers and changed characters are marked (the
    // default); without, neither, for the benchmark's reference run.
    void SetDecorated(bool Decorated) { FDecorated = Decorated; }
    // Gives every coloured line the colours of the control's palette as it
    // is now (a theme switched to dark must not leave light tints behind).
    // Undo history is kept: with none, the change does not enter it.
    void Recolour();

    static constexpr std::size_t MaxLineLength = 100000;
    static constexpr qint64 FlushIntervalMs = 15;
    // Buffered lines that make a delivery due however little time passed.
    static constexpr std::size_t FlushLines = 8192;

    // Measurements for the benchmark, in nanoseconds, kept since the last
    // BeginRun: the number of deliveries, the wait before the first one (the
    // files are read then), the longest time between two of them (the
    // buffered append included) and the wait from the last one to the end
    // of the run.
    struct TStatistics {
        std::size_t Deliveries = 0;
        qint64 FirstWait = 0;
        qint64 LongestGap = 0;
        qint64 LastWait = 0;
    };
    const TStatistics &Statistics() const { return FStatistics; }

private:
    // The lines gathered and not yet shown, gone (shown or cleared).
    void ForgetPending();
    void ShowProgress(std::size_t Done, std::size_t Total);
    // The marker's news: Line's Spans of Text, put where the line is.
    void Marked(std::size_t Line, std::string_view Text, const std::vector<TSpan> &Spans);
    // Marks lines already in the control, in an edit of its own.
    void MarkShownLines();
    // Gives the lines just inserted from block First on their numbers.
    void NumberLines(int First, int InsertedAt);

    QPlainTextEdit *FField; // not owned
    QStatusBar *FStatus;    // not owned
    QString FPending;       // buffered lines, each followed by '\n'
    std::size_t FPendingLines = 0;
    std::vector<TLineNumbers> FPendingNumbers;
    std::vector<qsizetype> FPendingStarts; // where each buffered line starts
    // Where each run of one kind starts in FPending.
    std::vector<TKindRun> FRuns;
    std::optional<TReportKinds> FKinds; // none when not coloured
    std::size_t FCutLines = 0;          // lines cut since BeginRun
    QElapsedTimer FSinceDelivery;
    bool FDeliverNow = true;
    int FShownPercent = -1;
    std::optional<std::size_t> FFiles; // a folder run's count of paths compared
    std::size_t FShownFiles = 0;
    QElapsedTimer FSinceRun;
    TStatistics FStatistics;

    bool FDecorated = true;
    TChangeMarker FMarker;
    std::size_t FLines = 0;        // lines appended since Clear: the marker's numbering
    std::size_t FPendingFirst = 0; // the number of the first buffered line
    // Block number = line number + FBlockBase for lines already shown, as
    // far as nobody typed lines in meanwhile (the numbers are checked).
    qsizetype FBlockBase = 0;
    // The lines of the open difference block: where each one's text went.
    struct TBlockLine {
        qsizetype PrefixLength; // characters before its text
        qsizetype TextLength;   // characters of its text shown
        TLineKind Kind;
        TLineNumbers Numbers;
        std::optional<bool> Utf8; // of a cut line: how its whole text decodes
    };
    std::vector<TBlockLine> FBlockLines;
    std::size_t FBlockFirst = 0; // the number of FBlockLines' first line
    // Marked characters: of buffered lines by position in FPending, of
    // shown ones by line number and position within the line.
    std::vector<TTextMark> FPendingMarks;
    struct TMark {
        std::size_t Line;
        qsizetype Start;
        qsizetype Length;
        TLineKind Kind;
        TLineNumbers Numbers;
    };
    std::vector<TMark> FShownMarks;
};
