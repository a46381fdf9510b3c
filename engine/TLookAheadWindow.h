#pragma once

#include "TMyStringList.h"

#include <cstdint>
#include <memory>

// Lines a look-up searches ahead in the other file.
inline constexpr int LookAhead = 100;

// The walk's look-up in one store: the first line equal to a given one
// among the LookAhead lines from a start position. It keeps a count of the
// line hashes in the current window, so a line that is not there (the usual
// case in files that differ much) is answered without comparing anything.
// Start positions must never decrease from one call to the next.
class TLookAheadWindow {
public:
    explicit TLookAheadWindow(const TMyStringList &Store);

    // As Store.LineIndex(Line, Key, Start, LookAhead).
    int Find(const char *Line, std::uint32_t Key, int Start);

private:
    const TMyStringList &FStore;
    std::unique_ptr<std::uint8_t[]> FCounts;
    int FLo = 0; // the counted lines are FLo .. FHi - 1
    int FHi = 0;

    void MoveTo(int Lo);
};
