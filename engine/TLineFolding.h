#pragma once

#include "TTextFilter.h"

#include <cstddef>
#include <string>
#include <string_view>

// Digit runs longer than this are read as this many nines when big numbers
// are ignored.
inline constexpr int BigNumberLength = 6;

// Rewrites in place every run of an optional sign and decimal digits in the
// terminated Line that is longer than MaxLength characters as MaxLength
// nines; true when the line changed. The character that ends a run is passed
// over unexamined, so a sign right after a run starts no run of its own.
bool RewriteBigNumbers(char *Line, std::size_t MaxLength);

// How two lines compare when text is ignored: first every match of the
// patterns is removed, then big numbers read as 999999, then the case of the
// letters A to Z and white space (space, tab, form feed, vertical tab) are
// ignored; two lines compare as their folded texts do. The text itself is
// never changed; the folding only serves keys and comparisons. CR and LF
// never stand inside a line: they end it.
class TLineFolding {
public:
    // What the folding ignores besides the patterns.
    struct TIgnored {
        bool IgnoreCase = false;
        bool IgnoreWhiteSpace = false;
        bool IgnoreBigNumbers = false;
    };

    // Folding nothing: lines compare byte for byte.
    TLineFolding() : TLineFolding(TIgnored{}) {}
    explicit TLineFolding(TIgnored Ignored, TTextFilter Filter = {});

    // Whether the folding changes anything at all.
    bool Active() const { return FIgnored.IgnoreCase || FIgnored.IgnoreWhiteSpace || Rewrites(); }
    // Whether a folded text is always as long as its text.
    bool KeepsLength() const { return !FIgnored.IgnoreWhiteSpace && !Rewrites(); }
    // Whether a text must be folded into a copy before it can be compared
    // (patterns or big numbers), rather than byte by byte in place.
    bool Rewrites() const { return FIgnored.IgnoreBigNumbers || FFilter.Active(); }

    // Writes the folded form of the Length bytes at Text to Out, which has
    // room for Length + 16 bytes and does not overlap Text; returns its length.
    std::size_t Fold(const char *Text, std::size_t Length, char *Out) const;
    // The folded form of the Length bytes at Text, in Buffer.
    std::string_view Fold(const char *Text, std::size_t Length, std::string &Buffer) const;
    // Whether the terminated texts A and B are equal once folded.
    bool Same(const char *A, const char *B) const;
    // Whether the terminated Text folds to Folded.
    bool SameAsFolded(const char *Text, std::string_view Folded) const;

    // How many texts Fold has met whose patterns hit the match limit: those
    // were folded with their matches kept.
    std::size_t LimitHits() const { return FLimitHits; }

private:
    TIgnored FIgnored;
    TTextFilter FFilter;
    unsigned char FFoldTo[256];    // each byte as the folding sees it
    unsigned char FSkipped[256];   // 1 for a byte the folding leaves out
    mutable std::string FStripped; // scratch: a text with its matches removed
    mutable std::string FOther;    // scratch: a second folded text
    mutable std::size_t FLimitHits = 0;

    std::size_t FoldCaseAndSpace(const char *Text, std::size_t Length, char *Out) const;
    std::size_t FoldBytes(const char *Text, std::size_t Length, char *Out) const;
};
