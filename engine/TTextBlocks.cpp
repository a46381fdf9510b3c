#include "TTextBlocks.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <sys/mman.h>
#include <unistd.h>

namespace {

void *AllocateOrThrow(std::size_t Size) {
    void *Block = std::malloc(Size);
    if (Block == nullptr)
        throw std::bad_alloc();
    return Block;
}

} // namespace

TTextBlocks::~TTextBlocks() {
    for (int K = 0; K < FBlocks.Count(); ++K)
        if (!InArena(FBlocks.Items(K)))
            std::free(FBlocks.Items(K));
    if (FArena != nullptr)
        munmap(FArena, FArenaSize);
}

// Blocks are carved from one mapping that the kernel fills a few megabytes
// at a time (in huge pages where it can), rather than faulting it in page by
// page as the reading first touches it: on a large file that is a good share
// of the loading time. It is filled only ahead of the blocks taken, since
// byte 26 may end the text long before the file does. Either advice may be
// refused; the mapping then fills on demand. It allows for the block ends a
// load abandons; small files and later loads into the same blocks use the
// heap alone.
void TTextBlocks::Reserve(std::size_t FileSize) {
    constexpr std::size_t Smallest = 64 * std::size_t(BlockSize);
    if (FArena != nullptr || FileSize < Smallest)
        return;
    const std::size_t Page = std::size_t(sysconf(_SC_PAGESIZE));
    std::size_t Size = FileSize + FileSize / 64 + 2 * std::size_t(BlockSize);
    Size = (Size + Page - 1) / Page * Page;
    void *Arena = mmap(nullptr, Size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (Arena == MAP_FAILED)
        return;
    madvise(Arena, Size, MADV_HUGEPAGE);
    FArena = static_cast<char *>(Arena);
    FArenaSize = Size;
    FArenaUsed = 0;
    FArenaFilled = 0;
}

bool TTextBlocks::InArena(const void *Block) const {
    const char *Byte = static_cast<const char *>(Block);
    return FArena != nullptr && Byte >= FArena && Byte < FArena + FArenaSize;
}

// A fresh block of BlockSize bytes, appended to FBlocks.
char *TTextBlocks::TakeBlock() {
    if (FArena != nullptr && FArenaSize - FArenaUsed >= std::size_t(BlockSize)) {
        if (FArenaUsed + BlockSize > FArenaFilled) {
            constexpr std::size_t FillStep = std::size_t(8) << 20;
            const std::size_t Length = std::min(FillStep, FArenaSize - FArenaFilled);
            madvise(FArena + FArenaFilled, Length, MADV_POPULATE_WRITE);
            FArenaFilled += Length;
        }
        char *Block = FArena + FArenaUsed;
        FBlocks.Add(Block);
        FArenaUsed += BlockSize;
        return Block;
    }
    return AddHeapBlock(BlockSize);
}

// The reader gives back an unused block at once, so an arena block given
// back is the last one carved.
void TTextBlocks::DropLastBlock() {
    const int Last = FBlocks.Count() - 1;
    void *Block = FBlocks.Items(Last);
    if (InArena(Block))
        FArenaUsed -= BlockSize;
    else
        std::free(Block);
    FBlocks.Delete(Last);
}

// Arena blocks cannot grow: a resized one moves to the heap, and its room,
// the last carved, goes back to the arena.
char *TTextBlocks::ResizeLastBlock(std::size_t Size) {
    const int Last = FBlocks.Count() - 1;
    void *Block = FBlocks.Items(Last);
    void *Resized;
    if (InArena(Block)) {
        Resized = std::malloc(Size);
        if (Resized == nullptr)
            return nullptr;
        std::memcpy(Resized, Block, std::min(Size, std::size_t(BlockSize)));
        FArenaUsed -= BlockSize;
    } else {
        Resized = std::realloc(Block, Size);
        if (Resized == nullptr)
            return nullptr;
    }
    FBlocks.Put(Last, Resized);
    return static_cast<char *>(Resized);
}

char *TTextBlocks::AddHeapBlock(std::size_t Size) {
    char *Block = static_cast<char *>(AllocateOrThrow(Size));
    try {
        FBlocks.Add(Block);
    } catch (...) {
        std::free(Block); // not yet owned by the list
        throw;
    }
    return Block;
}

char *TTextBlocks::AllocText(std::int32_t Size) {
    if (Size > BlockSize)
        return AddHeapBlock(std::size_t(Size));
    if (Size > FCursor.Free)
        FCursor = {TakeBlock(), BlockSize};
    char *Result = FCursor.Next;
    FCursor.Next += Size;
    FCursor.Free -= Size;
    return Result;
}
