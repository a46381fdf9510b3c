#include "ReportKinds.h"

#include <QPalette>
#include <QTextBlock>
#include <QTextDocument>
#include <cmath>

namespace {

// Format properties of the program's own: the TLineKind of a block, and
// characters marked as changed.
constexpr int KindProperty = QTextFormat::UserProperty + 1;
constexpr int MarkProperty = QTextFormat::UserProperty + 2;

double Linear(double Channel) {
    return Channel <= 0.03928 ? Channel / 12.92 : std::pow((Channel + 0.055) / 1.055, 2.4);
}

double Luminance(const QColor &C) {
    return 0.2126 * Linear(C.redF()) + 0.7152 * Linear(C.greenF()) + 0.0722 * Linear(C.blueF());
}

QColor Mix(const QColor &From, const QColor &To, double Share) {
    return QColor::fromRgbF(float(From.redF() + (To.redF() - From.redF()) * Share),
                            float(From.greenF() + (To.greenF() - From.greenF()) * Share),
                            float(From.blueF() + (To.blueF() - From.blueF()) * Share));
}

// Base moved towards Hue as far as Most while Text stays readable on it.
QColor Tint(const QColor &Base, const QColor &Text, const QColor &Hue, double Most = 0.30) {
    for (double share = Most; share > 0.0; share -= 0.02) {
        const QColor tint = Mix(Base, Hue, share);
        if (ContrastRatio(tint, Text) >= TReportKinds::MinimumContrast)
            return tint;
    }
    return Base;
}

} // namespace

double ContrastRatio(const QColor &A, const QColor &B) {
    const double a = Luminance(A), b = Luminance(B);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

TReportKinds::TReportKinds(const QPalette &Palette) {
    const QColor base = Palette.color(QPalette::Base);
    const QColor text = Palette.color(QPalette::Text);
    // Red for the first file and blue-green for the second: told apart with
    // the common kinds of colour blindness too.
    const QColor hues[] = {QColor(230, 40, 40), QColor(0, 160, 190)};
    for (const TLineKind kind : {TLineKind::OnlyInFirst, TLineKind::OnlyInSecond}) {
        const QColor &hue = hues[int(kind)];
        const QColor line = Tint(base, text, hue);
        FBlock[int(kind)].setBackground(line);
        // Twice as far towards the hue where the text allows; where even
        // the line's tint is as far as it can go, the marks are underlined.
        const QColor mark = Tint(base, text, hue, 0.60);
        FMark[int(kind)].setBackground(mark);
        FMark[int(kind)].setFontUnderline(mark == line);
    }
    FChar[int(TLineKind::Separator)].setForeground(Mix(text, base, 0.45));
    FChar[int(TLineKind::Heading)].setFontWeight(QFont::Bold);
    for (int kind = 0; kind < LineKindCount; ++kind) {
        FBlock[kind].setProperty(KindProperty, kind);
        FMark[kind].merge(FChar[kind]);
        FMark[kind].setProperty(MarkProperty, true);
    }
}

std::optional<TLineKind> BlockKind(const QTextBlock &Block) {
    const QTextBlockFormat format = Block.blockFormat();
    if (!format.hasProperty(KindProperty))
        return std::nullopt;
    return static_cast<TLineKind>(format.intProperty(KindProperty));
}

bool IsMarked(const QTextCharFormat &Format) {
    return Format.boolProperty(MarkProperty);
}
