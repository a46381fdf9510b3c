#pragma once

#include "TContentCheck.h"

#include <cstddef>
#include <memory>
#include <string_view>

// Reads the first bytes of many small files at once: opens, reads and closes
// a batch of them with one call to the system, through an io_uring, where
// one call each would cost more than the reading itself (a tree holds
// thousands of such files). Only a head that is surely the whole file, read
// from the page cache, is given: an empty or a larger file, one that cannot
// be opened or read at once, or a system without the ring (an old kernel, a
// sandbox that forbids it) gives none, and the caller reads it the ordinary
// way, which also finds the reason it fails. The buffers serve every batch, so memory
// stays that of one batch.
class TFileBatch {
public:
    static constexpr std::size_t MaxFiles = 32;
    static constexpr std::size_t HeadBytes = std::size_t(16) << 10;

    // Without a ring (UseRing false, or none to be had) every head comes
    // back missing.
    explicit TFileBatch(bool UseRing = true);
    ~TFileBatch();
    TFileBatch(const TFileBatch &) = delete;
    TFileBatch &operator=(const TFileBatch &) = delete;

    // Whether batches are read through a ring.
    bool Ringed() const { return FRing != nullptr; }
    std::size_t Size() const { return FCount; }
    bool Full() const { return FCount == MaxFiles; }

    // Adds File (Size() must be below MaxFiles); its folder and name must
    // stay valid until Read.
    void Add(TFileAt File);
    // Reads the files added since the last Clear.
    void Read();
    // File K's bytes when Read got it whole; nullptr otherwise. Valid until
    // the next Read or Clear.
    const std::string_view *Head(std::size_t K) const { return FWhole[K] ? &FHeads[K] : nullptr; }
    void Clear();

private:
    struct TRing;
    std::unique_ptr<TRing> FRing;
    std::unique_ptr<char[]> FBuffer; // one head of HeadBytes for each file
    std::size_t FCount = 0;
    TFileAt FFiles[MaxFiles] = {};
    std::string_view FHeads[MaxFiles];
    bool FWhole[MaxFiles] = {};
};
