#pragma once

#include "TReportSink.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// The header time of a file that is not there, as `diff -N` writes it.
inline constexpr std::string_view UnifiedEpochTime = "1970-01-01 00:00:00.000000000 +0000";

// A time as a unified diff's header writes it, in local time:
// "2026-12-07 02:36:09.123456789 +0000".
std::string UnifiedTime(std::int64_t Seconds, long Nanoseconds);
// The modification time of file Name so; UnifiedEpochTime when there is none.
std::string UnifiedFileTime(const std::string &Name);
// The present time so: standard input's.
std::string UnifiedNowTime();

// One file of a unified diff: its header and what the hunks must know of it.
struct TUnifiedFile {
    // The header's name after "--- " or "+++ ". A name with a tab, a control
    // character, a backslash or a double quote is written as a C string.
    std::string Name;
    std::string Time;          // the header's time, after a tab
    std::size_t Lines = 0;     // how many lines the file has
    bool LastLineEnded = true; // its last line has a line end
};

// The text of line Number (from 1) of the first file (Side 0) or the
// second (Side 1), without its line end; valid until the next call.
using TUnifiedLines = std::function<std::string_view(int Side, std::size_t Number)>;
// Takes the diff's bytes, a large piece at a time. It may throw to end the
// walk (a failed write).
using TUnifiedWrite = std::function<void(std::string_view Bytes)>;

// Writes a unified diff, as GNU diff's -u formats it, of the lines a walk
// appends: its hunks follow the walk's pairing, not a minimal diff. Between
// two common lines all lines only in the first file come first ("-"), then
// all only in the second ("+"), each in file order; a common line is " "
// and the first file's text. Hunks carry Context common lines before and
// after their changes and merge when those touch or overlap. A last line
// without a line end is followed by "\ No newline at end of file"; a common
// last line that has one in one file only is written as a change, so that
// patch rebuilds the second file exactly. The header goes out with the first
// hunk: files that compare equal give no output at all.
//
// The sink needs the common lines (no OnlyDifferences), the line numbers
// of every line, and the two files' line counts up front; the texts it reads
// back through Lines when a hunk is complete, so it copies none.
class TUnifiedSink : public TReportSink {
public:
    TUnifiedSink(TUnifiedFile First, TUnifiedFile Second, int Context, TUnifiedLines Lines,
                 TUnifiedWrite Write);

    void AppendLine(std::string_view Prefix, std::string_view Text, TLineKind Kind,
                    TLineNumbers Numbers) override;
    void Clear() override {}
    void SetStatus(std::string_view) override {}
    void ProcessMessages(std::size_t, std::size_t) override {}

    // Once the walk has reached the end of both files: writes the last hunk
    // and hands on everything still buffered.
    void Finish();
    // Whether any hunk was written.
    bool Differs() const { return FHeaderWritten; }

private:
    enum class TRunKind { Context, Removed, Added };
    // Count consecutive lines of one kind; context lines start at First in
    // the first file and Second in the second, removed at First, added at
    // Second.
    struct TRun {
        TRunKind Kind;
        std::size_t First;
        std::size_t Second;
        std::size_t Count;
    };

    TUnifiedFile FFiles[2];
    std::size_t FContext;
    TUnifiedLines FLines;
    TUnifiedWrite FWrite;
    std::string FOut; // written, not yet handed on
    bool FHeaderWritten = false;

    std::size_t FCommon1 = 0; // the last common line's numbers; 0 before one
    std::size_t FCommon2 = 0;
    std::size_t FGap = 0;                      // common lines since the last change
    TRun FRemoved{TRunKind::Removed, 0, 0, 0}; // the change since the last common line
    TRun FAdded{TRunKind::Added, 0, 0, 0};
    std::vector<TRun> FHunk;  // the hunk being gathered; empty when none is
    std::size_t FBefore1 = 0; // lines of each file before the hunk
    std::size_t FBefore2 = 0;

    void Removed(std::size_t Number);
    void Added(std::size_t Number);
    // Moves the change since the last common line into the hunk.
    void TakeChange();
    // Ends the hunk with its trailing context and writes it.
    void CloseHunk();
    void WriteHunk();
    void WriteLine(char Mark, int Side, std::size_t Number);
    void Put(std::string_view Bytes);
};
