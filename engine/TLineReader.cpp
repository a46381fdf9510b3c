#include "TLineReader.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr char EndOfFileByte = 26;
constexpr std::int32_t BlockSize = TMyStringList::BlockSize;

// Bytes read between two runs of the hook; also the most one read of a long
// line asks for, so the hook keeps its pace there too.
constexpr std::size_t ReadHookBytes = std::size_t(1) << 20;

// The first byte in [P, End) that is a zero byte, LF, CR or byte 26; End
// when there is none.
inline __attribute__((always_inline)) char *FindSpecial(char *P, char *End) {
#if defined(__SSE2__)
    const __m128i Zero = _mm_setzero_si128();
    const __m128i Lf = _mm_set1_epi8('\n');
    const __m128i Cr = _mm_set1_epi8('\r');
    const __m128i Eof = _mm_set1_epi8(EndOfFileByte);
    while (End - P >= 16) {
        const __m128i V = _mm_loadu_si128(reinterpret_cast<const __m128i *>(P));
        const __m128i Hit =
            _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(V, Zero), _mm_cmpeq_epi8(V, Lf)),
                         _mm_or_si128(_mm_cmpeq_epi8(V, Cr), _mm_cmpeq_epi8(V, Eof)));
        const int Mask = _mm_movemask_epi8(Hit);
        if (Mask != 0)
            return P + __builtin_ctz(static_cast<unsigned>(Mask));
        P += 16;
    }
#endif
    for (; P < End; ++P) {
        const char C = *P;
        if (C == 0 || C == '\n' || C == '\r' || C == EndOfFileByte)
            return P;
    }
    return End;
}

// Opens Name for reading when it is a regular file; -1 with Error set
// otherwise. The type is checked before opening, so a FIFO or a device is
// never opened, and again on the open descriptor in case the name changed.
int OpenRegularFile(const std::string &Name, int &Error, std::size_t &Size) {
    if (Name.empty() || Name.find('\0') != std::string::npos) {
        Error = ENOENT;
        return -1;
    }
    struct stat Info;
    if (stat(Name.c_str(), &Info) != 0) {
        Error = errno;
        return -1;
    }
    if (!S_ISREG(Info.st_mode)) {
        Error = S_ISDIR(Info.st_mode) ? EISDIR : ENODEV;
        return -1;
    }
    const int Fd = open(Name.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (Fd < 0) {
        Error = errno;
        return -1;
    }
    if (fstat(Fd, &Info) != 0 || !S_ISREG(Info.st_mode)) {
        Error = ENODEV;
        close(Fd);
        return -1;
    }
    posix_fadvise(Fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    Size = std::size_t(Info.st_size);
    return Fd;
}

} // namespace

TLineReader::TLineReader(TMyStringList &Store, THook Hook)
    : FStore(Store), FHook(std::move(Hook)) {}

int TLineReader::ReadFile(const std::string &FileName) {
    std::size_t Size = 0;
    FError = 0;
    FFd = OpenRegularFile(FileName, FError, Size);
    if (FFd < 0)
        return FError;
    struct TCloser {
        int Fd;
        ~TCloser() { close(Fd); }
    } Closer{FFd};
    return Read(Size);
}

int TLineReader::ReadBytes(std::string_view Bytes) {
    FFd = -1;
    FBytes = Bytes;
    FError = 0;
    return Read(Bytes.size());
}

int TLineReader::Read(std::size_t Size) {
    try {
        FStore.ReserveArena(Size);
        ReadLines();
    } catch (const std::bad_alloc &) {
        FError = ENOMEM;
    }
    ReleaseUnusedBlock();
    return FError;
}

long TLineReader::ReadSome(char *Into, std::size_t Size) {
    if (FFd < 0) {
        const std::size_t Got = std::min(Size, FBytes.size());
        std::memcpy(Into, FBytes.data(), Got);
        FBytes.remove_prefix(Got);
        return long(Got);
    }
    for (;;) {
        const ssize_t Got = read(FFd, Into, Size);
        if (Got >= 0 || errno != EINTR) {
            if (Got < 0)
                FError = errno;
            return long(Got);
        }
    }
}

bool TLineReader::GiveBack(std::size_t Count) {
    if (FFd < 0) {
        FBytes = std::string_view(FBytes.data() - Count, FBytes.size() + Count);
        return true;
    }
    if (lseek(FFd, -off_t(Count), SEEK_CUR) >= 0)
        return true;
    FError = errno;
    return false;
}

// A block is taken before the read that fills it, so the last one may have
// received no line (the text ended, failed or was stopped). It goes back: a
// store takes only blocks that hold lines.
void TLineReader::ReleaseUnusedBlock() {
    TMyStringList &S = FStore;
    const int Last = S.FBlocks.Count() - 1;
    if (Last < 0 || S.FNext != S.FBlocks.Items(Last) || S.FFree != BlockSize)
        return;
    if (S.InArena(S.FNext))
        S.FArenaUsed -= BlockSize;
    else
        std::free(S.FNext);
    S.FBlocks.Delete(Last);
    S.FNext = FSavedNext;
    S.FFree = FSavedFree;
}

void TLineReader::ReadLines() {
    TMyStringList &S = FStore;
    while (!FAtEnd) {
        if (S.FNext == nullptr || FPending == std::size_t(S.FFree)) {
            if (S.FNext != nullptr && FPending == std::size_t(BlockSize)) {
                ReadLongLine();
                continue;
            }
            // The unfinished line (if any) no longer fits: the rest of the
            // block is abandoned and the line moves to a fresh block.
            char *Block = S.TakeBlock();
            if (FPending > 0)
                std::memcpy(Block, S.FNext, FPending);
            FSavedNext = S.FNext;
            FSavedFree = S.FFree;
            S.FNext = Block;
            S.FFree = BlockSize;
        }
        char *Dest = S.FNext + FPending;
        const long Got = ReadSome(Dest, std::size_t(S.FFree) - FPending);
        if (Got < 0)
            return; // the unfinished line is dropped: it may be incomplete
        if (Got == 0) {
            if (FPending > 0)
                FinishLine();
            return;
        }
        SplitChunk(Dest + Got);
        if (!FAtEnd)
            CountRead(std::size_t(Got));
    }
}

void TLineReader::CountRead(std::size_t Bytes) {
    FSinceHook += Bytes;
    if (FSinceHook >= ReadHookBytes && FHook) {
        FSinceHook = 0;
        if (!FHook()) {
            FError = ECANCELED;
            FAtEnd = true;
        }
    }
}

// The unfinished line at the store's FNext is whole: terminated and appended.
void TLineReader::FinishLine() {
    TMyStringList &S = FStore;
    S.FNext[FPending] = 0;
    S.AddLine(S.FNext, FCut >= 0 ? std::size_t(FCut) : FPending);
    S.FNext += FPending + 1;
    S.FFree -= std::int32_t(FPending + 1);
    FPending = 0;
    FCut = -1;
}

// Splits the bytes read up to End, which follow the unfinished line at
// FNext. Each finished line is terminated where its line end was and
// appended; later lines move left over the dropped bytes of longer line ends.
// Whatever follows the last line end stays at FNext as the unfinished line.
void TLineReader::SplitChunk(char *End) {
    TMyStringList &S = FStore;
    char *Read = S.FNext + FPending;
    if (FSkipLF) {
        FSkipLF = false;
        if (*Read == '\n')
            ++Read;
    }
    if (Read == S.FNext + FPending && FCut < 0)
        Read = SplitPlainLines(Read, End);
    while (Read < End) {
        char *Write = S.FNext + FPending;
        char *Stop = FindSpecial(Read, End);
        while (Stop < End && *Stop == 0) {
            if (FCut < 0)
                FCut = std::ptrdiff_t(FPending) + (Stop - Read);
            Stop = FindSpecial(Stop + 1, End);
        }
        const std::size_t Run = std::size_t(Stop - Read);
        if (Write != Read && Run > 0)
            std::memmove(Write, Read, Run);
        FPending += Run;
        if (Stop == End)
            return;
        const char LineEnd = *Stop;
        if (LineEnd == EndOfFileByte && FPending == 0) {
            FAtEnd = true;
            return;
        }
        FinishLine();
        if (LineEnd == EndOfFileByte) {
            FAtEnd = true;
            return;
        }
        Read = Stop + 1;
        if (LineEnd == '\r') {
            if (Read == End)
                FSkipLF = true;
            else if (*Read == '\n')
                ++Read;
        }
    }
}

// The fast path of SplitChunk for text whose lines end in LF alone: 64
// bytes at a time, while they hold no CR, zero byte or byte 26, each LF
// becomes its line's terminator where it stands. Returns where the general
// path takes over, with the unfinished line at FNext as before.
char *TLineReader::SplitPlainLines(char *Read, char *End) {
#if defined(__SSE2__)
    TMyStringList &S = FStore;
    const __m128i Lf = _mm_set1_epi8('\n');
    const __m128i Cr = _mm_set1_epi8('\r');
    const __m128i Zero = _mm_setzero_si128();
    const __m128i Eof = _mm_set1_epi8(EndOfFileByte);
    for (; End - Read >= 64; Read += 64) {
        std::uint64_t Ends = 0;
        int Rare = 0;
        for (int K = 0; K < 4; ++K) {
            const __m128i V = _mm_loadu_si128(reinterpret_cast<const __m128i *>(Read + 16 * K));
            Ends |= std::uint64_t(unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(V, Lf)))) << (16 * K);
            Rare |= _mm_movemask_epi8(
                _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(V, Cr), _mm_cmpeq_epi8(V, Zero)),
                             _mm_cmpeq_epi8(V, Eof)));
        }
        if (Rare != 0)
            break;
        for (; Ends != 0; Ends &= Ends - 1) {
            char *LineEnd = Read + __builtin_ctzll(Ends);
            const std::size_t Length = std::size_t(LineEnd - S.FNext);
            *LineEnd = 0;
            S.AddLine(S.FNext, Length);
            S.FNext = LineEnd + 1;
            S.FFree -= std::int32_t(Length + 1);
        }
    }
    FPending = std::size_t(Read - S.FNext);
#else
    (void)End;
#endif
    return Read;
}

// The unfinished line fills a whole fresh block, so it will not fit in any
// block: the block grows into one of the line's own size. The block the line
// outgrew becomes current again, so its room serves the lines that follow,
// as AllocText does for a text larger than a block. Bytes read past the
// line's end are given back.
void TLineReader::ReadLongLine() {
    std::size_t Capacity = std::size_t(BlockSize);
    char *Line = TakeLongLineBlock(Capacity);
    std::size_t Length = std::size_t(BlockSize);
    const int Index = FStore.FBlocks.Count() - 1;
    for (;;) {
        if (Length == Capacity) {
            void *Grown = std::realloc(Line, Capacity * 2);
            if (Grown == nullptr)
                throw std::bad_alloc();
            Line = static_cast<char *>(Grown);
            FStore.FBlocks.Put(Index, Line);
            Capacity *= 2;
        }
        const long Got = ReadSome(Line + Length, std::min(Capacity - Length, ReadHookBytes));
        if (Got < 0) {
            FAtEnd = true;
            return;
        }
        char *End = Line + Length + Got;
        char *Stop = Got == 0 ? End : FindSpecial(Line + Length, End);
        while (Stop < End && *Stop == 0) {
            if (FCut < 0)
                FCut = Stop - Line;
            Stop = FindSpecial(Stop + 1, End);
        }
        if (Stop == End && Got > 0) {
            Length += std::size_t(Got);
            CountRead(std::size_t(Got));
            if (FAtEnd)
                return;
            continue;
        }
        EndLongLine(Line, Index, Stop, End);
        return;
    }
}

// The last block, which the unfinished line fills, as a heap block the line
// can grow in; the block before it becomes current again.
char *TLineReader::TakeLongLineBlock(std::size_t &Capacity) {
    TMyStringList &S = FStore;
    char *Line = S.FNext;
    if (S.InArena(Line)) {
        // Arena blocks cannot grow: the line moves to the heap and its block,
        // the last one carved, goes back to the arena.
        char *Moved = static_cast<char *>(std::malloc(2 * Capacity));
        if (Moved == nullptr)
            throw std::bad_alloc();
        std::memcpy(Moved, Line, Capacity);
        S.FBlocks.Put(S.FBlocks.Count() - 1, Moved);
        S.FArenaUsed -= BlockSize;
        Line = Moved;
        Capacity *= 2;
    }
    S.FNext = FSavedNext;
    S.FFree = FSavedFree;
    FPending = 0;
    return Line;
}

// The long line ends at Stop: a line end or byte 26 before End, or End
// itself when the text has ended.
void TLineReader::EndLongLine(char *Line, int Index, char *Stop, char *End) {
    const std::size_t TextLength = std::size_t(Stop - Line);
    if (Stop == End || *Stop == EndOfFileByte) {
        FAtEnd = true;
    } else {
        char *Rest = Stop + 1;
        if (*Stop == '\r') {
            if (Rest == End)
                FSkipLF = true;
            else if (*Rest == '\n')
                ++Rest;
        }
        if (End > Rest && !GiveBack(std::size_t(End - Rest)))
            FAtEnd = true;
    }
    Line[TextLength] = 0;
    if (void *Shrunk = std::realloc(Line, TextLength + 1)) {
        Line = static_cast<char *>(Shrunk);
        FStore.FBlocks.Put(Index, Line);
    }
    const std::size_t Cut = FCut >= 0 ? std::size_t(FCut) : TextLength;
    FCut = -1;
    FStore.AddLine(Line, Cut);
}
