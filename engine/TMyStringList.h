#pragma once

#include "TList.h"

#include <cstdint>
#include <string>

// The lines of one text file, in file order. Item k points to the text of
// line k: its bytes followed by one zero byte, packed back to back in large
// blocks the store owns, so loading makes one heap allocation per block
// rather than one per line. A text ends at its first zero byte.
//
// Beside each line the store keeps a hash of its text, so that a search
// compares a stored number first and the bytes only when the numbers agree.
class TMyStringList : public TList {
public:
    // Bytes in one text block.
    static constexpr std::int32_t BlockSize = 32000;

    TMyStringList() = default;
    ~TMyStringList() override;

    // Lines are only appended by LoadFromFile, which keeps the hashes in step.
    int Add(void *Item) = delete;
    void Clear() = delete;

    // The text of line Index, 0 .. Count() - 1.
    const char *Strings(int Index) const { return static_cast<const char *>(Items(Index)); }

    // Size (at least 1) free bytes for one text. A text that does not fit in
    // what is left of the current block abandons that rest and takes a fresh
    // block (a request that exactly fills the block still uses it). A text
    // larger than a whole block gets a block of exactly its size, and the
    // current block stays current: its room still serves later texts.
    // Throws std::bad_alloc.
    char *AllocText(std::int32_t Size);

    // Appends the lines of FileName (the store is not emptied first). A line
    // ends at CR LF, CR or LF; byte 26 ends the file; the last line needs no
    // line end. Never throws: a name that cannot be opened or is not a
    // regular file (directory, FIFO, device) adds nothing; a read error or
    // memory running out keeps the lines read so far. LoadError() tells why.
    void LoadFromFile(const std::string &FileName);

    // Index of the first line from Start whose text equals Line byte for
    // byte, searching at most Count lines (0: up to the last line); -1 when
    // none does. A negative Start searches from 0.
    int LineIndex(const char *Line, int Start, int Count) const;
    // The same search for a Line whose HashText is already known.
    int LineIndex(const char *Line, std::uint32_t Hash, int Start, int Count) const;

    // Rewrites in place every run of an optional sign and decimal digits that
    // is longer than MaxLength characters as MaxLength nines. The character
    // that ends a run is passed over unexamined, so a sign right after a run
    // starts no run of its own.
    void NormaliseBigNumbers(int MaxLength);

    // The hash of line Index's text; equal texts have equal hashes.
    std::uint32_t LineHash(int Index) const { return FHashes[Index]; }
    static std::uint32_t HashText(const char *Text, std::size_t Length);

    // 0 when the last LoadFromFile read its file whole; otherwise the errno
    // value of what stopped it (ENOENT, EISDIR, EIO, ENOMEM, ...), with
    // ENODEV for a name that is not a regular file or directory.
    int LoadError() const { return FError; }

    // The block list and the current block, for inspection.
    const TList &Blocks() const { return FBlocks; }
    std::int32_t Free() const { return FFree; }
    const char *Next() const { return FNext; }

private:
    TList FBlocks;
    std::int32_t FFree = 0;
    char *FNext = nullptr;

    std::uint32_t *FHashes = nullptr;
    std::size_t FHashCapacity = 0;
    int FError = 0;

    struct TReadState;
    void TakeBlock(TReadState &State);
    void AddLine(char *Text, std::size_t Length);
    void ReadLines(int Fd);
    void SplitChunk(TReadState &State, char *End);
    void ReadLongLine(int Fd, TReadState &State);
};
