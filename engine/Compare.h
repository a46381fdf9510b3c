#pragma once

#include "TCompareRequest.h"
#include "TLookAheadWindow.h"
#include "TReportSink.h"

#include <string>
#include <string_view>
#include <utility>

// Digit runs longer than this are rewritten when big numbers are ignored.
inline constexpr int BigNumberLength = 6;
// The line that parts two runs appended to one report: 62 full stops.
inline constexpr std::string_view SeparatorLine =
    "..............................................................";
// "All Done" begins the status text of a run that walked both files to the
// end; a run cut short says how far it got (StoppedStatus).
inline constexpr std::string_view StatusAllDone = "All Done";

// Process-wide stop flag: cleared by every RunComparison, set by the Stop
// command, read by the walk at each step.
extern bool StopRequested;

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
std::pair<std::string, std::string> ReportLabels(std::string_view FileName1,
                                                 std::string_view FileName2);

// Compares the request's two files and appends the report lines to Report.
// Never throws: an unreadable file compares as empty, and any failure
// during the walk (memory, a sink that throws) ends it quietly; the outcome
// tells what happened.
TCompareOutcome CompareFiles(const TCompareRequest &Request, TReportSink &Report);

// One run as the report window starts it: clears StopRequested, empties the
// report (Clear) or appends the separator, compares when Compare is set,
// then sets the status text from the outcome: StoppedStatus with the lines
// of both files walked when the run was cut short, else "Cannot read NAME"
// (both names joined by " and " when both failed), else "All Done: N lines
// only in LABEL1, M only in LABEL2, K in both" ("All Done" alone when
// Compare is false).
TCompareOutcome RunComparison(const TCompareRequest &Request, TReportSink &Report);
