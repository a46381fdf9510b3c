#include "TReportLines.h"

#include "ReportKinds.h"

#include <QTextBlock>
#include <QTextDocument>
#include <algorithm>

TReportLines &TReportLines::Of(QTextDocument *Document) {
    auto *lines = Document->findChild<TReportLines *>(QString(), Qt::FindDirectChildrenOnly);
    return lines != nullptr ? *lines : *new TReportLines(Document);
}

TReportLines::TReportLines(QTextDocument *Document) : QObject(Document), FDocument(Document) {
    connect(Document, &QTextDocument::contentsChange, this, &TReportLines::ContentsChange);
    Rebuild();
}

void TReportLines::SetNumbers(int First, const std::vector<TLineNumbers> &Numbers) {
    for (std::size_t k = 0; k < Numbers.size() && First + int(k) < Count(); ++k) {
        const TLineNumbers &numbers = Numbers[k];
        FNumbers[std::size_t(First) + k] = {std::uint32_t(numbers.First),
                                            std::uint32_t(numbers.Second)};
        FLargest.First = std::max(FLargest.First, numbers.First);
        FLargest.Second = std::max(FLargest.Second, numbers.Second);
    }
    emit Changed();
}

void TReportLines::Announce(TLineNumbers Largest) {
    if (Largest.First <= FLargest.First && Largest.Second <= FLargest.Second)
        return;
    FLargest.First = std::max(FLargest.First, Largest.First);
    FLargest.Second = std::max(FLargest.Second, Largest.Second);
    emit Changed();
}

void TReportLines::Reserve(std::size_t Blocks) {
    if (Blocks <= FKind.capacity())
        return;
    // Asked again and again (a folder's pairs), the room still doubles.
    Blocks = std::max(Blocks, 2 * FKind.capacity());
    FNumbers.reserve(Blocks);
    FLength.reserve(Blocks);
    FKind.reserve(Blocks);
}

std::optional<TLineNumbers> TReportLines::Numbers(int Block) const {
    const auto [first, second] = FNumbers[std::size_t(Block)];
    if (first == 0 && second == 0)
        return std::nullopt;
    return TLineNumbers{first, second};
}

void TReportLines::Rebuild() {
    const std::size_t count = std::size_t(FDocument->blockCount());
    FNumbers.assign(count, {0, 0});
    FLength.assign(count, 0);
    FKind.assign(count, 0);
    FLargest = {};
    Read(0, int(count) - 1);
}

void TReportLines::Read(int First, int Last) {
    QTextBlock block = FDocument->findBlockByNumber(First);
    for (int number = First; number <= Last && block.isValid(); ++number, block = block.next()) {
        const std::optional<TLineKind> kind = BlockKind(block);
        FKind[std::size_t(number)] = kind ? std::uint8_t(int(*kind) + 1) : 0;
        FLength[std::size_t(number)] = block.length() - 1;
    }
}

// The change replaced Removed characters at Position with Added ones. The
// old blocks it touched are B0 to B0 + R, R being the line ends it removed;
// they become the new blocks B0 to B1. Of the old lines, the first keeps
// its numbers when its start is before the change, the last when its start
// or some of its text is after it; a line inserted before keeps none.
void TReportLines::ContentsChange(int Position, int Removed, int Added) {
    const int newCount = FDocument->blockCount();
    const int delta = newCount - Count();
    if (FDocument->isEmpty()) {
        Rebuild();
        emit Changed();
        return;
    }
    // A change that takes in the last line's end reaches one past the last
    // position there is.
    const int last = FDocument->characterCount() - 1;
    const QTextBlock first = FDocument->findBlock(std::min(Position, last));
    const int b0 = first.blockNumber();
    const int b1 = FDocument->findBlock(std::min(Position + Added, last)).blockNumber();
    const int r = (b1 - b0) - delta;
    if (Count() == 0 || r < 0 || b0 + r >= Count() || b0 < 0 || b1 < 0) {
        const TLineNumbers largest = FLargest;
        Rebuild(); // never seen: numbers cannot be placed, so none stay
        FLargest = largest;
        emit Changed();
        return;
    }
    if (Removed == Added && delta == 0) {
        // Formats changed, or text was retyped in place.
        Read(b0, b1);
        emit Changed();
        return;
    }
    using TPair = std::pair<std::uint32_t, std::uint32_t>;
    std::vector<TPair> numbers(std::size_t(b1 - b0 + 1), TPair{0, 0});
    const int start0 = first.position();
    const int oldCharacters = FDocument->characterCount() - Added + Removed;
    const bool everything = Position == 0 && Removed >= oldCharacters - 1;
    if (!everything && r == 0) {
        // An empty line keeps its numbers on the first part, as text before
        // the change does; a line whose start moved takes them along.
        const bool stays = Position > start0 || FLength[std::size_t(b0)] == 0;
        numbers[stays ? 0 : numbers.size() - 1] = FNumbers[std::size_t(b0)];
    } else if (!everything) {
        if (Position > start0)
            numbers[0] = FNumbers[std::size_t(b0)];
        int tailStart = start0;
        for (int k = b0; k < b0 + r; ++k)
            tailStart += FLength[std::size_t(k)] + 1;
        const QTextBlock lastBlock = FDocument->findBlockByNumber(b1);
        const int rest = lastBlock.position() + lastBlock.length() - 1 - (Position + Added);
        const bool tailSurvives = tailStart >= Position + Removed || rest > 0;
        if (tailSurvives && (b1 != b0 || Position <= start0))
            numbers.back() = FNumbers[std::size_t(b0 + r)];
    }
    const auto at = [b0](auto &Vector) { return Vector.begin() + b0; };
    FNumbers.erase(at(FNumbers), at(FNumbers) + r + 1);
    FNumbers.insert(at(FNumbers), numbers.begin(), numbers.end());
    FLength.erase(at(FLength), at(FLength) + r + 1);
    FLength.insert(at(FLength), numbers.size(), 0);
    FKind.erase(at(FKind), at(FKind) + r + 1);
    FKind.insert(at(FKind), numbers.size(), 0);
    Read(b0, b1);
    emit Changed();
}
