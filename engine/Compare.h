#pragma once

#include "TCompareRequest.h"
#include "TLookAheadWindow.h"
#include "TReportSink.h"

#include <string>
#include <string_view>
#include <utility>

// The line that parts two runs appended to one report: 62 full stops.
inline constexpr std::string_view SeparatorLine =
    "..............................................................";
// "All Done" begins the status text of a run that walked both files to the
// end; a run cut short says how far it got (StoppedStatus), or, for two
// folders, whose walk has no known end, StatusStopped.
inline constexpr std::string_view StatusAllDone = "All Done";
inline constexpr std::string_view StatusStopped = "Stopped: the report is incomplete";

// Process-wide stop flag: cleared by every RunComparison, set by the Stop
// command, read by the walk at each step.
extern bool StopRequested;

// Name as a report shows it: each byte below 32, and 127, as "?", as ls
// shows such names.
std::string PrintableName(std::string Name);

// S padded with Fill to Width + 1 characters (as CharacterCount of Utf8.h
// counts them); S unchanged when longer than Width.
std::string PadRight(std::string_view S, std::size_t Width, char Fill);

// The two labels of a comparison: the file names' file parts when they
// differ (ignoring ASCII case), else what is left of the two directory parts
// below the deepest directory they share. Backslash, slash and colon separate.
std::pair<std::string, std::string> MakeLabels(std::string_view FileName1,
                                               std::string_view FileName2);

// The labels a report uses: MakeLabels', or the two file names in full as
// given when either of those is empty; a byte below 32 or 127 shows as "?".
// Labels that come out equal so (names apart only in such bytes) are the
// full names instead, each such byte written as \n, \r, \t or \xHH.
std::pair<std::string, std::string> ReportLabels(std::string_view FileName1,
                                                 std::string_view FileName2);

// The bytes of both files of a request, read whole already.
struct TFileBytes {
    std::string_view First, Second;
};

// Compares the request's two files and appends the report lines to Report;
// with Bytes, compares those bytes instead of reading the files again (the
// names still make the labels). Never throws: an unreadable file compares
// as empty, and any failure during the walk (memory, a sink that throws)
// ends it quietly; the outcome tells what happened.
TCompareOutcome CompareFiles(const TCompareRequest &Request, TReportSink &Report,
                             const TFileBytes *Bytes = nullptr);

// The note for Lines lines whose patterns hit PCRE2's match limit:
// "the patterns' match limit was hit on N lines; they compared unfiltered".
std::string UnfilteredNote(std::size_t Lines);

// The pieces of a run, for the writers that pair lines as a run does.
//
// The folding a run of Request compares lines with. With FoldBigNumbers the
// folding reads big numbers as 999999; otherwise the caller rewrites them in
// the text. A pattern that does not compile leaves its message in
// PatternError, and the folding then removes nothing.
TLineFolding RunFolding(const TCompareRequest &Request, bool FoldBigNumbers,
                        std::string &PatternError);
// Reads file Name into Store as a run of Request does: "-" is read from
// Request.StandardInput when that is set.
void LoadRunFile(const TCompareRequest &Request, const std::string &Name, TMyStringList &Store);
// How WalkStores walks.
struct TWalkOptions {
    bool OnlyDifferences = false;
    bool RewriteShownNumbers = false;  // the report shows big numbers as 999999
    const bool *Stop = &StopRequested; // read at every step: true ends the walk
};
// Walks the loaded First and Second in step, as a run does, appends the
// report lines to Report (behind the labels in Outcome) and counts them in
// Outcome. True when both were walked to the end. Throws what Report throws.
bool WalkStores(const TMyStringList &First, const TMyStringList &Second,
                const TWalkOptions &Options, TReportSink &Report, TCompareOutcome &Outcome);

// One run as the report window starts it: clears StopRequested, empties the
// report (Clear) or appends the separator, compares when Compare is set,
// then sets the status text from the outcome: StoppedStatus with the lines
// of both files walked when the run was cut short, else "Cannot read NAME"
// (both names joined by " and " when both failed), else "All Done: N lines
// only in LABEL1, M only in LABEL2, K in both" ("All Done" alone when
// Compare is false), followed by "; " and the UnfilteredNote when lines hit
// the patterns' match limit. A pattern that does not compile makes the
// status its message, and nothing is read. Two folders are compared as
// CompareFolders does, with its status; a folder beside a file stands for
// the file of that name inside it (WithFileInFolder).
TCompareOutcome RunComparison(const TCompareRequest &Request, TReportSink &Report);
