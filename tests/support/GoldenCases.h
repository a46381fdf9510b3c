#pragma once

#include "TCompareRequest.h"
#include "TestFiles.h"
#include "UnifiedDiff.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

// The golden cases: each folder below tests/data holds two input files,
// a.txt and b.txt, and the whole report expected for them with each set of
// options: expected.txt without options, expected-LETTERS.txt with the
// options of tarnwell-compare's short flags (d only differences, n ignore big
// numbers, i ignore case, w ignore white space, u the unified diff, N line
// numbers, C --color=always) and two more letters: x, --ignore-text with
// each line of the folder's patterns.txt in turn; s, b.txt read as "-" from
// standard input. N and C add to the report's text what only the tool
// writes. The labels are the file names a.txt and b.txt wherever the folder
// lies; a unified diff names them so too, with the time of a file modified
// at 0 seconds in UTC (UnifiedEpochTime).
struct TGoldenRun {
    std::string Case;                    // the folder's name
    std::filesystem::path First, Second; // its a.txt and b.txt
    std::string Options;                 // the letters; empty for expected.txt
    std::string Expected;                // the report, each line ended by "\n"
    std::vector<std::string> Patterns;   // the lines of its patterns.txt, if any

    bool Has(char Letter) const { return Options.find(Letter) != std::string::npos; }
};

// Every run of every case, in the order of case and options, but those
// whose letters include one of Without's: by default the tool's own N and C
// ("" gives every run, the tool's too).
std::vector<TGoldenRun> GoldenRuns(std::string_view Without = "NC");
// tarnwell-compare's options for Run's letters (the files not included; s
// is the caller's: "-" for the second file).
std::vector<std::string> GoldenToolOptions(const TGoldenRun &Run);

// The golden folder cases, each a folder below tests/data/trees: the trees
// old and new in place of a.txt and b.txt, and the expected reports as above.
// The link loop and the unreadable folder cannot be checked in; the tests
// make them.
std::vector<TGoldenRun> GoldenTreeRuns();

// The request of Run: its two files and its option letters. With s the
// second name is "-"; the caller sets StandardInput.
TCompareRequest GoldenRequest(const TGoldenRun &Run);
// The headers of a golden unified diff: a.txt and b.txt at UnifiedEpochTime.
TUnifiedOptions GoldenUnifiedOptions();

// The name of a suite's row for a golden run: "notes_d" for the case notes
// with option d, "look_ahead_99" for look-ahead-99 without options. The runs
// are read when the test program starts, so test discovery lists the rows:
//   INSTANTIATE_TEST_SUITE_P(Golden, T, testing::ValuesIn(GoldenRuns()), GoldenRowName);
std::string GoldenRowName(const testing::TestParamInfo<TGoldenRun> &Row);
void PrintTo(const TGoldenRun &Run, std::ostream *Out);
