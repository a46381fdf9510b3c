#pragma once

#include <QObject>
#include <QString>
#include <optional>

class QTextDocument;
class TReportField;

// One run of only-in lines the cursor can be moved to: a line of that kind
// whose previous line is of another kind (or none). Runs parted by a
// separator are separate runs.
struct TDifference {
    int Block = -1; // block number of the run's first line
    int Last = -1;  // and of its last
    int Index = 0;  // 1 for the report's first run
    int Count = 0;  // runs in the whole report
};

// Where FindDifference looks from block From: the first run starting after
// it, the first starting at it or after, or the last starting before it.
enum class TDifferenceSearch { After, AtOrAfter, Before };

// The run Search asks for; nothing when there is none. Count is filled in
// either way through Runs.
std::optional<TDifference> FindDifference(QTextDocument *Document, int From,
                                          TDifferenceSearch Search, int *Runs = nullptr);

// Moves a report's cursor between the runs of lines that are only in one
// file (F8 and Shift+F8), shows the run near the top of the view, marks it
// as the current difference and words where it went.
class TDifferenceNavigator : public QObject {
public:
    explicit TDifferenceNavigator(TReportField *Field);

    enum class TDirection { Forward, Backward };
    // Moves the cursor to the first line of the next (or previous) run and
    // returns "Difference K of N"; when there is none, leaves the cursor and
    // says so. At the top of a report nobody has moved through yet, a run
    // on the first line is the next one.
    QString Go(TDirection Direction);
    // Around a run: BeginRun, before it, notes where its lines will begin
    // (after the separator unless it empties the report); EndRun leaves
    // the cursor at its first difference, shown and marked as F8 shows it,
    // or at its first line when it has none.
    void BeginRun(bool Clear);
    void EndRun();

private:
    TReportField *FField;
    bool FAtDifference = false; // the cursor stands where Go put it
    int FRunStart = 0;
};
