#include "ReportKinds.h"

#include <QPalette>
#include <QTextBlock>
#include <QTextDocument>
#include <cmath>

namespace {

// A format property of the program's own: the TLineKind of a block.
constexpr int KindProperty = QTextFormat::UserProperty + 1;

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

// Base moved towards Hue as far as 30 % while Text stays readable on it.
QColor Tint(const QColor &Base, const QColor &Text, const QColor &Hue) {
    for (double share = 0.30; share > 0.0; share -= 0.02) {
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
    FBlock[int(TLineKind::OnlyInFirst)].setBackground(Tint(base, text, QColor(230, 40, 40)));
    FBlock[int(TLineKind::OnlyInSecond)].setBackground(Tint(base, text, QColor(0, 160, 190)));
    FChar[int(TLineKind::Separator)].setForeground(Mix(text, base, 0.45));
    FChar[int(TLineKind::Heading)].setFontWeight(QFont::Bold);
    for (int kind = 0; kind < LineKindCount; ++kind)
        FBlock[kind].setProperty(KindProperty, kind);
}

std::optional<TLineKind> BlockKind(const QTextBlock &Block) {
    const QTextBlockFormat format = Block.blockFormat();
    if (!format.hasProperty(KindProperty))
        return std::nullopt;
    return static_cast<TLineKind>(format.intProperty(KindProperty));
}

std::optional<TDifference> FindDifference(const QTextDocument *Document, int From,
                                          TDifferenceSearch Search, int *Runs) {
    const auto onlyIn = [](const std::optional<TLineKind> &Kind) {
        return Kind == TLineKind::OnlyInFirst || Kind == TLineKind::OnlyInSecond;
    };
    std::optional<TDifference> found;
    int count = 0;
    bool previousOnlyIn = false;
    for (QTextBlock block = Document->begin(); block.isValid(); block = block.next()) {
        const bool isOnlyIn = onlyIn(BlockKind(block));
        if (isOnlyIn && !previousOnlyIn) {
            ++count;
            const int number = block.blockNumber();
            const bool wanted =
                Search == TDifferenceSearch::Before
                    ? number < From
                    : !found && (number > From ||
                                 (Search == TDifferenceSearch::AtOrAfter && number == From));
            if (wanted)
                found = TDifference{number, count, 0};
        }
        previousOnlyIn = isOnlyIn;
    }
    if (Runs != nullptr)
        *Runs = count;
    if (found)
        found->Count = count;
    return found;
}
