#pragma once

#include "TList.h"

#include <cstddef>
#include <cstdint>

// The memory the texts of a line store live in: large blocks, each filled
// from its start, so loading makes one allocation per block rather than one
// per line. The blocks of a large load are carved from one mapping sized
// from the file; the others come from the heap. The blocks are owned here
// and freed with it.
class TTextBlocks {
public:
    // Bytes in one block.
    static constexpr std::int32_t BlockSize = 32000;

    // The free room of the current block, which a reader fills in place.
    struct TCursor {
        char *Next = nullptr;  // its first free byte; nullptr before the first block
        std::int32_t Free = 0; // the free bytes from Next on
    };

    TTextBlocks() = default;
    ~TTextBlocks();
    TTextBlocks(const TTextBlocks &) = delete;
    TTextBlocks &operator=(const TTextBlocks &) = delete;

    // Size (at least 1) free bytes for one text. A text that does not fit in
    // what is left of the current block abandons that rest and takes a fresh
    // block (a request that exactly fills the block still uses it). A text
    // larger than a whole block gets a block of exactly its size, and the
    // current block stays current: its room still serves later texts.
    // Throws std::bad_alloc.
    char *AllocText(std::int32_t Size);

    // About FileSize bytes of text are about to be read: the room for them
    // is prepared at once where that pays.
    void Reserve(std::size_t FileSize);
    // A fresh block of BlockSize bytes after all the others; the cursor stays
    // where it is. Throws std::bad_alloc.
    char *TakeBlock();
    // Gives back the last block taken, which must hold no text.
    void DropLastBlock();
    // The last block taken, resized to Size bytes with its first bytes kept
    // (moved when it has to be); nullptr, the block unchanged, when memory
    // is short.
    char *ResizeLastBlock(std::size_t Size);

    TCursor &Cursor() { return FCursor; }
    const TCursor &Cursor() const { return FCursor; }
    // The blocks, in the order they were taken.
    const TList &List() const { return FBlocks; }

private:
    // Blocks are replaced when they are resized and dropped when unused.
    class TBlockList : public TList {
    public:
        using TList::Delete;
        using TList::Put;
    };

    TBlockList FBlocks;
    TCursor FCursor;

    // The mapping the blocks of one load are carved from, faulted in ahead
    // of the blocks taken.
    char *FArena = nullptr;
    std::size_t FArenaSize = 0;
    std::size_t FArenaUsed = 0;
    std::size_t FArenaFilled = 0; // bytes from FArena on asked to be filled

    bool InArena(const void *Block) const;
    // A heap block of Size bytes, appended to FBlocks. Throws std::bad_alloc.
    char *AddHeapBlock(std::size_t Size);
};
