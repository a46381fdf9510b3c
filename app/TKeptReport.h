#pragma once

#include "ReportKinds.h"
#include "TKeptLines.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <chrono>
#include <memory>
#include <optional>
#include <string>

class QPlainTextEdit;
class QStatusBar;
class TMyIniFile;

// Puts a kept text into its control a piece at a time, each piece ending at a
// line end, so a long text can be on screen, and its window live, before all
// of it is in. With Lines, each line takes the kind, numbers and marks they
// keep for it. The control keeps no undo history until the fill ends, all in
// or dropped; what was put in stays.
class TKeptTextFill {
public:
    TKeptTextFill(QPlainTextEdit *RichEdit, QByteArray Bytes,
                  std::optional<TKeptLines> Lines = std::nullopt);
    ~TKeptTextFill();
    TKeptTextFill(const TKeptTextFill &) = delete;
    TKeptTextFill &operator=(const TKeptTextFill &) = delete;

    // Appends pieces at the end of the text until Budget has passed, at
    // least one unless the Lines are still being checked; true once the
    // text is all in. The first piece may go in before the Lines are checked
    // (with no Budget, for a first screen at once); no other does. Lines
    // that do not describe the text are dropped, and what is in already
    // loses their kinds and numbers.
    bool Append(std::chrono::nanoseconds Budget);
    void AppendAll() {
        while (!Append(std::chrono::hours(1))) {
        }
    }
    bool Done() const { return AllIn() && !Unchecked(); }
    // Lines were given and then dropped: the text came back plain.
    bool LinesDropped() const { return FDropped; }

private:
    bool AllIn() const { return FStart >= FBytes.size(); }
    bool Unchecked() const { return FLines && !FChecked; }
    // Goes on checking the Lines against the text until Until; true once
    // the check is over (and the Lines dropped if they did not match).
    bool CheckLines(std::chrono::steady_clock::time_point Until);
    void DropLines();

    QPointer<QPlainTextEdit> FRichEdit;
    QByteArray FBytes;
    qsizetype FStart = 0;
    qsizetype FRoomUntil = 0; // the text known to have room to go in
    bool FUndo;
    Qt::ScrollBarPolicy FPolicy;
    std::optional<TKeptLines> FLines;
    bool FChecked = false;  // the Lines describe the text
    bool FDropped = false;  // the Lines did not, and were dropped
    bool FOpenLine = false; // the text in ends without the line end that parts it from the rest
    TReportKinds FKinds;
};

// The report kept between runs ("Save Report on Exit"): the text file of
// the report window's section and beside it what its lines are
// (TKeptLines), read at start, put into the report a piece at a time from
// the event loop while the window stays live ("Loading the kept report..."
// in the status bar meanwhile), and written at exit. A text whose lines
// cannot be restored comes back plain, and the status bar says so. Memory
// that runs out while it goes in ends the fill, keeping what is in, and says
// "Not enough memory to show the whole kept report". A kept file that was
// skipped, or did not all go in, is left as it is on disk at exit, unless a
// run or the user's own edit has changed the report since.
class TKeptReport : public QObject {
public:
    TKeptReport(QPlainTextEdit *Field, QStatusBar *Status);
    ~TKeptReport() override;

    // Replaces the report with the kept text of Section: its first piece at
    // once and the rest from the event loop, or all of it at once when
    // Whole. Returns the message for the user when the kept file was
    // skipped, else "".
    [[nodiscard]] std::string Load(TMyIniFile &Store, const std::string &Section, bool Whole);
    // Writes the whole report as the kept text of Section, taking in first
    // what is still to come; writes nothing when the kept file is to be left
    // as it is. Throws with the reason when it cannot.
    void Save(TMyIniFile &Store, const std::string &Section);
    // A run begins: it empties the report (Clear), dropping what is still to
    // come, or follows the whole of it. The report is the run's from then.
    void RunStarts(bool Clear);
    // The rest of a kept text still going in, at once: before anything takes
    // or adds to the whole report. Ends the fill.
    void Complete();
    // No more of it: before the report is emptied. Ends the fill quietly.
    void Drop();
    bool Loading() const { return FFill != nullptr; }

protected:
    // The rest of the fill waits for the first screen to be drawn.
    bool eventFilter(QObject *Watched, QEvent *Event) override;

private:
    void FillSome();
    // The fill ends where memory ran out; the kept file stays as it is.
    void OutOfMemory();
    // The fill is all in: it ends, saying so when the text came back plain.
    void Finished();

    QPlainTextEdit *FField;
    QStatusBar *FStatus;
    std::unique_ptr<TKeptTextFill> FFill;
    QTimer FTimer;
    bool FFirstScreen = false; // the first piece is in, not yet drawn
    // The kept file holds what the report does not: it is not written over.
    bool FLeaveFile = false;
    bool FPlain = false; // the fill's text could not take its lines' kinds
};
