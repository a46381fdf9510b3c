#pragma once

#include "TReportSink.h"

#include <QObject>
#include <cstdint>
#include <optional>
#include <vector>

class QTextDocument;

// What a report knows of each of its lines beyond the text, by block
// number: the line's numbers in the two files and its kind. Kept beside the
// document (a child of it) and up to date with every change, so views and
// searches read a million lines without touching a million blocks.
//
// Numbers belong to the line's start: a line keeps them however it is
// edited, joined onto or split (its first part keeps them), and whatever
// happens to other lines; a line deleted takes them along. A line made new
// by the user (typed, pasted, or the second part of a split) has none. Undo
// brings back a deleted line's text and kind, not its numbers.
class TReportLines : public QObject {
    Q_OBJECT
public:
    // The index of Document, made on first use as a child of it.
    static TReportLines &Of(QTextDocument *Document);

    // Gives the Count blocks from block First on the numbers in Numbers.
    void SetNumbers(int First, const std::vector<TLineNumbers> &Numbers);
    // Block's numbers; none for a line that stands in no file.
    std::optional<TLineNumbers> Numbers(int Block) const;
    // Block's kind as its format says (BlockKind); none for an uncoloured one.
    std::optional<TLineKind> Kind(int Block) const {
        const std::uint8_t kind = FKind[std::size_t(Block)];
        return kind == 0 ? std::nullopt : std::optional(TLineKind(kind - 1));
    }
    // The kinds of all blocks, in order: TLineKind + 1, 0 for none.
    const std::vector<std::uint8_t> &Kinds() const { return FKind; }
    int Count() const { return int(FKind.size()); }
    // The greatest number of each file among the lines ever numbered since
    // the report was last emptied, or announced: the widths of number
    // columns.
    TLineNumbers Largest() const { return FLargest; }
    // Numbers up to Largest are to come (the line counts of a run's files).
    // A gutter that widens makes the text control lay out every line again,
    // for seconds and hundreds of megabytes in a long report: it widens
    // once, before the lines come.
    void Announce(TLineNumbers Largest);
    // Room for Blocks lines in all, asked for before they come: growing the tables
    // of a million lines on the way copies them, and the fresh memory costs
    // a page fault every 4 KiB, tens of milliseconds in one go.
    void Reserve(std::size_t Blocks);

signals:
    // The numbers or kinds of some lines changed, or lines came or went.
    void Changed();

private:
    explicit TReportLines(QTextDocument *Document);
    void ContentsChange(int Position, int Removed, int Added);
    // Reads the kinds and lengths of blocks First to Last from the document.
    void Read(int First, int Last);
    void Rebuild();

    QTextDocument *FDocument;
    // By block number: numbers (0, 0 for none), text length, kind + 1.
    std::vector<std::pair<std::uint32_t, std::uint32_t>> FNumbers;
    std::vector<std::int32_t> FLength;
    std::vector<std::uint8_t> FKind;
    TLineNumbers FLargest;
};
