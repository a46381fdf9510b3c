#pragma once

#include <cstddef>

// How two lines compare when the case of the letters A to Z, or white space
// (space, tab, form feed, vertical tab), is ignored: as their folded texts
// do. The text itself is never changed; the folding only serves keys and
// comparisons. CR and LF never stand inside a line: they end it.
class TLineFolding {
public:
    // What the folding ignores.
    struct TIgnored {
        bool IgnoreCase = false;
        bool IgnoreWhiteSpace = false;
    };

    // Folding nothing: lines compare byte for byte.
    TLineFolding() : TLineFolding(TIgnored{}) {}
    explicit TLineFolding(TIgnored Ignored);

    // Whether the folding changes anything at all.
    bool Active() const { return FIgnored.IgnoreCase || FIgnored.IgnoreWhiteSpace; }
    bool IgnoresWhiteSpace() const { return FIgnored.IgnoreWhiteSpace; }

    // Writes the folded form of the Length bytes at Text to Out, which has
    // room for Length + 16 bytes; returns its length.
    std::size_t Fold(const char *Text, std::size_t Length, char *Out) const;
    // Whether the terminated texts A and B are equal once folded.
    bool Same(const char *A, const char *B) const;

private:
    TIgnored FIgnored;
    unsigned char FFoldTo[256];  // each byte as the folding sees it
    unsigned char FSkipped[256]; // 1 for a byte the folding leaves out

    std::size_t FoldBytes(const char *Text, std::size_t Length, char *Out) const;
};
