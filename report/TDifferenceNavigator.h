#pragma once

#include <QObject>
#include <QString>

class QPlainTextEdit;

// Moves a report's cursor between the runs of lines that are only in one
// file (F8 and Shift+F8) and words where it went.
class TDifferenceNavigator : public QObject {
public:
    explicit TDifferenceNavigator(QPlainTextEdit *Field);

    enum class TDirection { Forward, Backward };
    // Moves the cursor to the first line of the next (or previous) run and
    // returns "Difference K of N"; when there is none, leaves the cursor and
    // says so. At the top of a report nobody has moved through yet, a run
    // on the first line is the next one.
    QString Go(TDirection Direction);

private:
    QPlainTextEdit *FField;
    bool FAtDifference = false; // the cursor stands where Go put it
};
