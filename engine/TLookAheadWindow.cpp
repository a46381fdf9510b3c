#include "TLookAheadWindow.h"

#include <algorithm>

// A window never holds more lines than one count can tell.
static_assert(LookAhead < 256);

TLookAheadWindow::TLookAheadWindow(const TMyStringList &Store)
    : FStore(Store), FCounts(new std::uint8_t[1 << 16]()) {}

// Counts catch up only when asked, so a walk that finds its lines at once
// (equal current lines) never touches them; each line enters and leaves the
// window at most once.
void TLookAheadWindow::MoveTo(int Lo) {
    const int Hi = std::min(Lo + LookAhead, FStore.Count());
    for (int K = FLo; K < std::min(Lo, FHi); ++K)
        --FCounts[TMyStringList::KeyHash(FStore.LineKey(K))];
    for (int K = std::max(FHi, Lo); K < Hi; ++K)
        ++FCounts[TMyStringList::KeyHash(FStore.LineKey(K))];
    FLo = Lo;
    FHi = std::max(Hi, Lo);
}

int TLookAheadWindow::Find(const char *Line, std::uint32_t Key, int Start) {
    if (Start >= FStore.Count())
        return -1;
    if (FStore.LineKey(Start) != Key) {
        MoveTo(Start);
        if (FCounts[TMyStringList::KeyHash(Key)] == 0)
            return -1;
    }
    return FStore.LineIndex(Line, Key, Start, LookAhead);
}
