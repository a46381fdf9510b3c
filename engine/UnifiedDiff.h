#pragma once

#include "TCompareRequest.h"
#include "TUnifiedSink.h"

#include <string>

// One side of a unified diff's header.
struct TUnifiedHeader {
    std::string Name = {}; // the header's name; empty: the request's file name
    // The header's time; empty: the file's modification time, the present
    // time for standard input, UnifiedEpochTime for an absent file.
    std::string Time = {};
    bool Absent = false; // the file is not read: it is empty, as diff -N takes a missing one
};

// What WriteUnifiedDiff writes besides the request's files and options.
struct TUnifiedOptions {
    int Context = 3; // common lines around each change
    TUnifiedHeader First = {};
    TUnifiedHeader Second = {};
};

// How a unified diff went.
struct TUnifiedOutcome {
    // The run's load errors, pattern error, line counts and note; Broken
    // when Write threw or memory ran out.
    TCompareOutcome Run;
    // 1 or 2 when that file holds a zero byte: a line cut there cannot be
    // rebuilt from a diff, so nothing was written. 0 otherwise.
    int CutFile = 0;
    // Whether a hunk was written: some line is only in one file, or only
    // one of the two last lines has a line end.
    bool Differs = false;
};

// Writes the unified diff of Request's two files (see TUnifiedSink) through
// Write, their lines paired as a run with the request's options pairs them
// (IgnoreText, IgnoreCase, IgnoreWhiteSpace, IgnoreBigNumbers; a common line
// shows the first file's text as read). Clear, Compare and OnlyDifferences
// do not apply, nor does StopRequested. Writes nothing when the files compare
// equal, when a pattern does not compile, when a file cannot be read (the
// outcome tells which) or holds a zero byte. Never throws.
//
// For one pair of a folder comparison: the two paths as Request's file
// names, the names to show in Options, and an Absent side with
// UnifiedEpochTime for a file that only one folder has.
TUnifiedOutcome WriteUnifiedDiff(const TCompareRequest &Request, const TUnifiedOptions &Options,
                                 const TUnifiedWrite &Write);
