#pragma once

#include "TLineFolding.h"
#include "TList.h"
#include "TTextBlocks.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

class TLineReader;

// The lines of one text file, in file order. Item k points to the text of
// line k: its bytes followed by one zero byte, packed back to back in large
// blocks the store owns, so loading makes one heap allocation per block
// rather than one per line. A text ends at its first zero byte.
//
// Beside each line the store keeps a 32-bit key: the text's length (up to
// 65,534; 65,535 stands for any longer one) and a 16-bit hash of it. A
// search compares keys first and bytes only when the keys agree, and the
// report takes the length from the key instead of measuring the text.
class TMyStringList : public TList {
public:
    // Bytes in one text block.
    static constexpr std::int32_t BlockSize = TTextBlocks::BlockSize;

    TMyStringList() = default;
    ~TMyStringList() override;

    // Lines are only appended by the loads, which keep the keys in step.
    int Add(void *Item) = delete;
    void Clear() = delete;

    // The text of line Index, 0 .. Count() - 1.
    const char *Strings(int Index) const { return static_cast<const char *>(Items(Index)); }

    // Appends the lines of FileName (the store is not emptied first), as
    // TLineReader reads them. Never throws but what the read hook throws.
    // LoadError() tells what stopped it.
    void LoadFromFile(const std::string &FileName);
    // The same for the bytes of a file held in memory.
    void LoadFromBytes(std::string_view Bytes);
    // The same for all that can be read from the open descriptor Fd
    // (standard input: a pipe, a terminal, a file).
    void LoadFromDescriptor(int Fd);
    // Runs Hook after about every mebibyte LoadFromFile reads, so a window
    // can deliver its pending events while a large file loads; the load ends
    // there (ECANCELED) when Hook returns false.
    void SetReadHook(std::function<bool()> Hook) { FReadHook = std::move(Hook); }

    // How lines compare: with text matching patterns removed, big numbers
    // read as 999999, ignoring the case of the letters A to Z, ignoring every
    // space, tab, form feed and vertical tab. Set before the first line is
    // stored: keys and searches then see the folded text, while the text
    // itself stays as read.
    void SetFolding(const TLineFolding &Folding) { FFolding = Folding; }

    // Index of the first line from Start whose text equals Line byte for
    // byte (or under the folding), searching at most Count lines (0: up to
    // the last line); -1 when none does. A negative Start searches from 0.
    int LineIndex(const char *Line, int Start, int Count) const;
    // The same search for a Line whose FoldedKeyOf is already known.
    int LineIndex(const char *Line, std::uint32_t Key, int Start, int Count) const;

    // Rewrites in place every run of an optional sign and decimal digits that
    // is longer than MaxLength characters as MaxLength nines. The character
    // that ends a run is passed over unexamined, so a sign right after a run
    // starts no run of its own.
    void NormaliseBigNumbers(int MaxLength);

    // The key of line Index; equal texts (under the folding) have equal keys.
    std::uint32_t LineKey(int Index) const { return FKeys[Index]; }
    // The length of line Index's text.
    std::size_t TextLength(int Index) const {
        const std::uint32_t Length = FKeys[Index] >> 16;
        // Folding white space or patterns, the key holds the folded length.
        return Length < LongText && FFolding.KeepsLength() ? Length : LongTextLength(Index);
    }
    // The key of the Length bytes at Text (Length being the text's length).
    static std::uint32_t KeyOf(const char *Text, std::size_t Length);
    // The same key for the text as this store's folding sees it.
    std::uint32_t FoldedKeyOf(const char *Text, std::size_t Length) const {
        return FFolding.Active() ? KeyOfFolded(Text, Length) : KeyOf(Text, Length);
    }
    // The 16-bit hash within a key.
    static std::uint16_t KeyHash(std::uint32_t Key) { return std::uint16_t(Key); }

    // 0 when the last LoadFromFile read its file whole; otherwise the errno
    // value of what stopped it (ENOENT, EISDIR, EIO, ENOMEM, ECANCELED ...),
    // with ENODEV for a name that is not a regular file or directory.
    int LoadError() const { return FError; }
    // Lines cut at a zero byte, of all loads.
    std::size_t CutLines() const { return FCutLines; }
    // Whether the last line stored had a line end (true while there is none).
    bool LastLineEnded() const { return FLastLineEnded; }
    // Lines whose patterns hit PCRE2's match limit as they were stored: they
    // compare with none of it removed (the rest of the folding applies).
    std::size_t UnfilteredLines() const { return FUnfiltered; }

    // The block list and the current block, for inspection.
    const TList &Blocks() const { return FTexts.List(); }
    std::int32_t Free() const { return FTexts.Cursor().Free; }
    const char *Next() const { return FTexts.Cursor().Next; }

private:
    TTextBlocks FTexts;

    static constexpr std::uint32_t LongText = 0xFFFF;
    std::uint32_t *FKeys = nullptr;
    std::size_t FKeyCapacity = 0;
    int FError = 0;
    std::size_t FCutLines = 0;
    bool FLastLineEnded = true;
    std::size_t FUnfiltered = 0;
    std::function<bool()> FReadHook;
    TLineFolding FFolding;
    mutable std::string FFolded; // scratch room for the folded text of one line
    mutable std::string FNeedle; // the folded text of the line a search looks for

    // A reader into this store's blocks that appends the lines it reads.
    TLineReader Reader();
    // Appends the lines Read reads with such a reader.
    void Load(const std::function<int(TLineReader &)> &Read);
    // Appends line Text of Length bytes with its key.
    void AddLine(char *Text, std::size_t Length) {
        const int Index = Count();
        if (std::size_t(Index) == FKeyCapacity)
            GrowKeys();
        FKeys[Index] = FoldedKeyOf(Text, Length);
        TList::Add(Text);
    }
    void GrowKeys();
    std::size_t LongTextLength(int Index) const;
    std::uint32_t KeyOfFolded(const char *Text, std::size_t Length) const;
};
