#pragma once

#include <cstddef>
#include <string_view>
#include <utility>
#include <vector>

// The changed characters of a changed line: what a report marks within a
// line that is only in one file when a line only in the other file stands
// for it (its partner).

// A run of marked bytes of a line's text.
struct TSpan {
    std::size_t Start = 0;
    std::size_t Length = 0;
    bool operator==(const TSpan &) const = default;
};

// The marked spans of the two lines of a pair, in order, none empty.
struct TPairMarks {
    std::vector<TSpan> First;
    std::vector<TSpan> Second;
};

// Lines longer than this many characters are marked between their common
// prefix and common suffix only.
inline constexpr std::size_t MarkedLineLimit = 10000;

// Compares First and Second as tokens: a maximal run of letters, digits,
// '_' and bytes of 0x80 and above; a maximal run of white space (space,
// tab, VT, FF, CR); or any other single byte. Each token that is not in a
// longest common subsequence of the two token lists is marked, and a
// maximal run of marked tokens is one span. Nothing is marked when the two
// share no token but white space. When either line is longer than
// MarkedLineLimit characters, or the two differ too much for the token walk
// to be cheap, each line's part between the common prefix and the common
// suffix (whole characters) is one span instead.
TPairMarks MarkChanges(std::string_view First, std::string_view Second);

// Lines only in one file and in a run: more on either side than this and
// the block's lines are paired in order.
inline constexpr std::size_t SimilarityBlockLimit = 200;

// The partners within a difference block, given its lines of the first file
// and of the second, each in file order: pairs (index in First, index in
// Second), in order. With as many lines on each side, or more than
// SimilarityBlockLimit on either, the k-th pairs with the k-th. Otherwise
// lines pair by similarity (the share of their tokens, white space aside,
// that they have in common, at least one half), as many and as alike as
// possible, never across the file order. A side with no line pairs nothing.
std::vector<std::pair<std::size_t, std::size_t>>
PairBlockLines(const std::vector<std::string_view> &First,
               const std::vector<std::string_view> &Second);
