#include "GoToLine.h"

#include "TReportLines.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextDocument>
#include <algorithm>

namespace {

constexpr std::uint8_t SeparatorKind = std::uint8_t(int(TLineKind::Separator) + 1);

using TNote = TLineTarget::TNote;

// Blocks From to To: the run of report lines around Near.
std::pair<int, int> RunAround(const std::vector<std::uint8_t> &Kinds, int Near) {
    const int count = int(Kinds.size());
    const auto separator = [&](int Block) { return Kinds[std::size_t(Block)] == SeparatorKind; };
    int at = std::clamp(Near, 0, count - 1);
    // On a separator, the run after it; after the last one, the run before.
    while (at < count - 1 && separator(at))
        ++at;
    while (at > 0 && separator(at))
        --at;
    int from = at, to = at;
    while (from > 0 && !separator(from - 1))
        --from;
    while (to < count - 1 && !separator(to + 1))
        ++to;
    return {from, to};
}

} // namespace

TLineTarget FindLine(QTextDocument *Document, TLineChoice Choice, std::size_t Number, int Near) {
    const TReportLines &lines = TReportLines::Of(Document);
    if (Document->isEmpty() || Number == 0)
        return {};
    if (Choice == TLineChoice::Report) {
        const std::size_t count = std::size_t(Document->blockCount());
        if (Number > count)
            return {int(count) - 1, TNote::PastTheEnd, count};
        return {int(Number) - 1, TNote::Exact};
    }
    const auto [from, to] = RunAround(lines.Kinds(), Near);
    const auto numberOf = [&](int Block) -> std::size_t {
        const auto numbers = lines.Numbers(Block);
        return !numbers ? 0 : Choice == TLineChoice::FirstFile ? numbers->First : numbers->Second;
    };
    int last = -1;
    for (int block = from; block <= to; ++block) {
        const std::size_t number = numberOf(block);
        if (number == Number)
            return {block, TNote::Exact};
        if (number > Number)
            return {block, TNote::NotInReport};
        if (number != 0)
            last = block;
    }
    if (last < 0)
        return {};
    return {last, TNote::PastTheEnd, numberOf(last)};
}

QString GoToLine(QPlainTextEdit *Field, TLineChoice Choice, std::size_t Number,
                 const QString &Name) {
    const TLineTarget target =
        FindLine(Field->document(), Choice, Number, Field->textCursor().blockNumber());
    const bool report = Choice == TLineChoice::Report;
    if (target.Note == TNote::Nothing)
        return report ? QStringLiteral("The report is empty")
                      : QStringLiteral("No line of %1 is in this report").arg(Name);
    Field->setTextCursor(QTextCursor(Field->document()->findBlockByNumber(target.Block)));
    Field->centerCursor();
    switch (target.Note) {
    case TNote::NotInReport:
        return QStringLiteral("Line %1 of %2 is not in this report").arg(Number).arg(Name);
    case TNote::PastTheEnd:
        return report ? QStringLiteral("The report has only %1 lines").arg(target.Last)
                      : QStringLiteral("Line %1 of %2 is past the last in this report, line %3")
                            .arg(Number)
                            .arg(Name)
                            .arg(target.Last);
    default:
        return QString();
    }
}
