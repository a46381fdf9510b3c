#pragma once

#include "ChangedSpans.h"
#include "TReportSink.h"

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// Marks the changed characters of a report as its lines come, for a sink
// that shows them: a difference block is a maximal run of lines that are
// each only in one file, its lines pair as PairBlockLines says, and each
// pair is marked as MarkChanges says. A line's marks are handed out once
// they are final: when its block ends, or, in a block that has grown past
// SimilarityBlockLimit lines on a side, as soon as its partner is there.
class TChangeMarker {
public:
    // Line is the line's number among all lines given to Add since the
    // start or the last Reset, from 0; Text is its text as given. Called
    // only for lines with marks, each line once.
    using TMarked = std::function<void(std::size_t Line, std::string_view Text,
                                       const std::vector<TSpan> &Spans)>;

    explicit TChangeMarker(TMarked Marked) : FMarked(std::move(Marked)) {}

    // The next line of the report. A line only in one file joins the open
    // block; any other kind ends it.
    void Add(TLineKind Kind, std::string_view Text);
    // Ends the open block: the end of a run.
    void End();
    // Forgets the open block and counts lines from 0 again: the report was
    // emptied.
    void Reset();

private:
    struct TLine {
        std::size_t Number;
        std::string Text;
    };
    // Marks the pair of the k-th line of each side and lets both texts go.
    void MarkPair(std::size_t K);

    TMarked FMarked;
    std::size_t FNext = 0;          // the number of the next line added
    std::vector<TLine> FFirst;      // the open block's lines of the first file
    std::vector<TLine> FSecond;     // and of the second
    std::size_t FPairedInOrder = 0; // pairs marked while the block is long
};

// The marks of every line of one difference block, all at once: Kinds and
// Texts give its lines in report order; the result holds each line's spans.
// The same marks TChangeMarker hands out for these lines.
std::vector<std::vector<TSpan>> MarkBlock(const std::vector<TLineKind> &Kinds,
                                          const std::vector<std::string_view> &Texts);
