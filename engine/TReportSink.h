#pragma once

#include <cstddef>
#include <string_view>

// What a report line stands for. The engine never reads the report back,
// so a sink that needs to know (the command-line tool's exit status) is told.
enum class TLineKind {
    OnlyInFirst,  // the line is only in the first file
    OnlyInSecond, // the line is only in the second file
    Common,       // the line is in both files
    Separator,    // one of the three lines that part two appended runs
    Heading,      // names a part of a longer report (one path of a folder comparison)
};
inline constexpr int LineKindCount = 5;

// Where a report line's text stands in the two files: its line numbers,
// counting from 1 as the reader splits lines (CR LF, CR and LF each end
// one), also when common lines are left out of the report; 0 in a file the
// text is not from, and in both for a line of the report's own.
struct TLineNumbers {
    std::size_t First = 0;
    std::size_t Second = 0;
};

// Where a comparison writes its report. The engine appends whole lines, one
// call per line, empties the report when asked and sets the status text;
// it knows nothing of widgets. A sink may throw from AppendLine (a report
// that refuses a further line): the walk then ends quietly.
class TReportSink {
public:
    virtual ~TReportSink() = default;

    // Appends one line: Prefix immediately followed by Text. Both views are
    // valid only during the call.
    virtual void AppendLine(std::string_view Prefix, std::string_view Text, TLineKind Kind,
                            TLineNumbers Numbers) = 0;
    // Empties the report.
    virtual void Clear() = 0;
    // Sets the status text ("All Done" at the end of every run).
    virtual void SetStatus(std::string_view Text) = 0;
    // Called before every step of the walk and before every tail line: the
    // place where a window lets pending events run (a Stop, a repaint).
    // Done of Total lines of both files have been walked so far. Also called
    // with 0 of 0 while large files are still being read.
    virtual void ProcessMessages(std::size_t Done, std::size_t Total) = 0;
    // A folder comparison's progress: Count paths of the two trees have been
    // compared so far. From then until the status is set, a window shows
    // this count rather than how far the current pair's walk has got.
    virtual void FilesCompared(std::size_t Count) { (void)Count; }
    // Both files are read and the walk is about to begin: their line counts,
    // for a sink that sets line numbers in columns. Not called when the
    // reading was stopped.
    virtual void FilesRead(std::size_t Lines1, std::size_t Lines2) {
        (void)Lines1;
        (void)Lines2;
    }
};
