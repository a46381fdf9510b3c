#pragma once

#include <QString>
#include <cstddef>

class QPlainTextEdit;
class QTextDocument;

// What a number in "Go to Line" counts: the report's own lines, or the
// lines of the first or the second file.
enum class TLineChoice { Report, FirstFile, SecondFile };

// Where "Go to Line" goes, and why there.
struct TLineTarget {
    enum class TNote {
        Exact,       // the line asked for
        NotInReport, // the file's line is not in the report: the next that is
        PastTheEnd,  // beyond the last line there is: that last line
        Nothing,     // no line to go to: the cursor stays
    };
    int Block = -1;
    TNote Note = TNote::Nothing;
    std::size_t Last = 0; // with PastTheEnd: the number of the last line
};

// The report line that shows line Number (from 1) of Choice. A file's line
// is looked for in the run holding block Near (runs part at separators):
// the line that shows it, common or only in that file, else the next line
// of that file the run shows. Reads the lines' numbers and kinds only.
TLineTarget FindLine(QTextDocument *Document, TLineChoice Choice, std::size_t Number, int Near);

// Moves Field's cursor to the start of line Number of Choice and shows it;
// returns what the status bar says about it ("" when it went to the line
// asked for). Name names the file for the messages.
QString GoToLine(QPlainTextEdit *Field, TLineChoice Choice, std::size_t Number,
                 const QString &Name);
