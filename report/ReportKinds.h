#pragma once

#include "TReportSink.h"

#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <array>
#include <optional>

class QPalette;
class QTextBlock;
class QTextDocument;

// How each kind of report line looks: only-in lines on a tinted background,
// common lines in the normal text colour, the separator muted, a heading
// bold. The kind
// rides in the block format, so it follows the line through editing (a new
// line takes the format of the line it is split from), survives printing
// (the printed copy keeps block formats) and never reaches the plain text.
class TReportKinds {
public:
    // Colours derived from Palette: each tint is the palette's base colour
    // moved towards a hue only so far that the text colour keeps a contrast
    // ratio of at least MinimumContrast on it, in light and dark themes.
    explicit TReportKinds(const QPalette &Palette);

    const QTextBlockFormat &BlockFormat(TLineKind Kind) const {
        return FBlock[static_cast<int>(Kind)];
    }
    const QTextCharFormat &CharFormat(TLineKind Kind) const {
        return FChar[static_cast<int>(Kind)];
    }
    // The characters marked as changed in a line of Kind: a stronger tint of
    // the line's, the text still readable on it.
    const QTextCharFormat &MarkFormat(TLineKind Kind) const {
        return FMark[static_cast<int>(Kind)];
    }

    bool operator==(const TReportKinds &Other) const = default;

    static constexpr double MinimumContrast = 7.0;

private:
    std::array<QTextBlockFormat, LineKindCount> FBlock;
    std::array<QTextCharFormat, LineKindCount> FChar;
    std::array<QTextCharFormat, LineKindCount> FMark;
};

// The kind a report line was appended as; none for a line typed into an
// uncoloured place or a kept report restored without its kinds.
std::optional<TLineKind> BlockKind(const QTextBlock &Block);
// Whether a character of Format is marked as changed.
bool IsMarked(const QTextCharFormat &Format);

// The contrast ratio of two colours as WCAG defines it, from 1 to 21.
double ContrastRatio(const QColor &A, const QColor &B);
