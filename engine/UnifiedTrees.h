#pragma once

#include "TCompareRequest.h"
#include "TUnifiedSink.h"

#include <functional>
#include <string_view>

// A path a tree's unified diff cannot show as a hunk, as the folder report
// words it ("Cannot read: PATH: REASON", "File and folder: PATH" ...);
// Trouble when it is a failure (the diff is incomplete), not a mere skip.
using TUnifiedNote = std::function<void(std::string_view Text, bool Trouble)>;

// How a tree's unified diff went.
struct TUnifiedTreeOutcome {
    bool Differs = false; // some hunk or binary line was written, or a path differs in kind
    bool Trouble = false; // some path could not be read or carried: the diff is incomplete
    bool Broken = false;  // memory ran out or Write threw: the diff stops there
    std::string PatternError;
};

// Writes one unified diff for the request's two folders, as diff -ruN does:
// in walk order, every pair of files that differ as a hunk set whose headers
// name both paths; a file only in one tree, or in a folder only in one tree,
// against an absent empty file of the same name with the epoch for its time,
// so that patch -p1 in a copy of the first folder makes the second. Files
// that hold a zero byte write "Binary files A and B differ" instead. The
// request's options pair the lines as for a single file. Never throws.
TUnifiedTreeOutcome WriteUnifiedTrees(const TCompareRequest &Request, int Context,
                                      const TUnifiedWrite &Write, const TUnifiedNote &Note);
