#pragma once

#include "TCompareRequest.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <vector>

// The golden cases: each folder below tests/data holds two input files,
// a.txt and b.txt, and the whole report expected for them with each set of
// options: expected.txt without options, expected-LETTERS.txt with the
// options of tarnwell-compare's short flags (d only differences, n ignore big
// numbers, i ignore case, w ignore white space, N line numbers), and C for
// --color=always. N and C add to the report's text what only the tool
// writes. The labels are the file names a.txt and b.txt wherever the folder
// lies.
struct TGoldenRun {
    std::string Case;                    // the folder's name
    std::filesystem::path First, Second; // its a.txt and b.txt
    std::string Options;                 // the letters; empty for expected.txt
    std::string Expected;                // the report, each line ended by "\n"
};

// Every run of every case whose letters are all of the report's own (d, n,
// i, w), in the order of case and options.
std::vector<TGoldenRun> GoldenRuns();
// Every run of every case, those with N or C too.
std::vector<TGoldenRun> GoldenToolRuns();
// tarnwell-compare's options for Run's letters.
std::vector<std::string> GoldenToolOptions(const TGoldenRun &Run);

// The request of Run: its two files and its option letters.
TCompareRequest GoldenRequest(const TGoldenRun &Run);

// The name of a suite's row for a golden run: "notes_d" for the case notes
// with option d, "look_ahead_99" for look-ahead-99 without options. The runs
// are read when the test program starts, so test discovery lists the rows:
//   INSTANTIATE_TEST_SUITE_P(Golden, T, testing::ValuesIn(GoldenRuns()), GoldenRowName);
std::string GoldenRowName(const testing::TestParamInfo<TGoldenRun> &Row);
void PrintTo(const TGoldenRun &Run, std::ostream *Out);

// The bytes of the file at Path; empty when it cannot be read.
std::string ReadWholeFile(const std::filesystem::path &Path);
