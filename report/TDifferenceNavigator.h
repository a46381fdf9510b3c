#pragma once

#include <QObject>
#include <QString>

class TReportField;

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
