#include "TMyStringList.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr char EndOfFileByte = 26;

} // namespace

// Where reading stands between two chunks of one file.
struct TMyStringList::TReadState {
    std::size_t Pending = 0;    // text bytes of the unfinished line, sitting at FNext
    std::ptrdiff_t Cut = -1;    // offset of its first zero byte; -1 while it has none
    bool SkipLF = false;        // the last byte read was a CR that ended a line
    bool AtEnd = false;         // byte 26 or a failure: read no further
    char *SavedNext = nullptr;  // the current block as it was before the unfinished
    std::int32_t SavedFree = 0; // line made the store take a fresh one
    std::size_t SinceHook = 0;  // bytes read since the read hook last ran
};

namespace {

// Bytes read between two runs of the read hook.
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

bool IsDigit(char C) {
    return C >= '0' && C <= '9';
}

// Rewrites the over-long digit runs of one terminated line; true when the
// line changed. Never reads or writes past the terminator. The scan reads
// the text as it was; what lies between two rewrites moves left once, so a
// long line of many numbers costs its length, not its length per number.
bool RewriteBigNumbers(char *Line, std::size_t MaxLength) {
    bool Changed = false;
    char *Write = Line; // where the text from Kept on belongs
    char *Kept = Line;
    char *P = Line;
    for (;;) {
        if (*P == 0)
            break;
        while (*P != 0 && *P != '+' && *P != '-' && !IsDigit(*P))
            ++P;
        char *Start = P;
        if (*P == '+' || *P == '-')
            ++P;
        while (IsDigit(*P))
            ++P;
        if (std::size_t(P - Start) > MaxLength) {
            std::memmove(Write, Kept, std::size_t(Start - Kept));
            Write += Start - Kept;
            std::memset(Write, '9', MaxLength);
            Write += MaxLength;
            Kept = P;
            Changed = true;
        }
        if (*P == 0)
            break;
        // The character that ended the run is passed over unexamined.
        ++P;
    }
    if (Changed)
        std::memmove(Write, Kept, std::size_t(P - Kept) + 1);
    return Changed;
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

class TFdCloser {
public:
    explicit TFdCloser(int Fd) : FFd(Fd) {}
    ~TFdCloser() { close(FFd); }
    TFdCloser(const TFdCloser &) = delete;
    TFdCloser &operator=(const TFdCloser &) = delete;

private:
    int FFd;
};

void *AllocateOrThrow(std::size_t Size) {
    void *Block = std::malloc(Size);
    if (Block == nullptr)
        throw std::bad_alloc();
    return Block;
}

} // namespace

TMyStringList::~TMyStringList() {
    for (int K = 0; K < FBlocks.Count(); ++K)
        if (!InArena(FBlocks.Items(K)))
            std::free(FBlocks.Items(K));
    if (FArena != nullptr)
        munmap(FArena, FArenaSize);
    std::free(FKeys);
}

// Blocks are carved from one mapping that the kernel fills a few megabytes
// at a time (in huge pages where it can), rather than faulting it in page by
// page as the reading first touches it: on a large file that is a good share
// of the loading time. It is filled only ahead of the blocks taken, since
// byte 26 may end the text long before the file does. Either advice may be
// refused; the mapping then fills on demand. It allows for the block ends a
// load abandons; small files and later loads into the same store use the
// heap alone.
void TMyStringList::ReserveArena(std::size_t FileSize) {
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

bool TMyStringList::InArena(const void *Block) const {
    const char *Byte = static_cast<const char *>(Block);
    return FArena != nullptr && Byte >= FArena && Byte < FArena + FArenaSize;
}

// A fresh block of BlockSize bytes, appended to FBlocks.
char *TMyStringList::TakeBlock() {
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

char *TMyStringList::AddHeapBlock(std::size_t Size) {
    char *Block = static_cast<char *>(AllocateOrThrow(Size));
    try {
        FBlocks.Add(Block);
    } catch (...) {
        std::free(Block); // not yet owned by the list
        throw;
    }
    return Block;
}

// The key: the capped length above a wyhash-style 16-bit hash. Whole words
// are folded through 64 x 64 -> 128-bit multiplies and short tails are read
// as overlapping words, so no byte outside the text is read.
std::uint32_t TMyStringList::KeyOf(const char *Text, std::size_t Length) {
    constexpr std::uint64_t K0 = 0xA0761D6478BD642Full;
    constexpr std::uint64_t K1 = 0xE7037ED1A0B428DBull;
    constexpr std::uint64_t K2 = 0x8EBC6AF09C88C6E3ull;
    auto Mix = [](std::uint64_t A, std::uint64_t B) {
        const unsigned __int128 Product = (unsigned __int128)A * B;
        return std::uint64_t(Product) ^ std::uint64_t(Product >> 64);
    };
    auto Read8 = [](const char *P) {
        std::uint64_t Word;
        std::memcpy(&Word, P, 8);
        return Word;
    };
    auto Read4 = [](const char *P) {
        std::uint32_t Word;
        std::memcpy(&Word, P, 4);
        return std::uint64_t(Word);
    };
    std::uint64_t Seed = K0 ^ Length;
    std::uint64_t A = 0;
    std::uint64_t B = 0;
    if (Length <= 16) {
        if (Length >= 8) {
            A = Read8(Text);
            B = Read8(Text + Length - 8);
        } else if (Length >= 4) {
            A = Read4(Text);
            B = Read4(Text + Length - 4);
        } else if (Length > 0) {
            A = (std::uint64_t((unsigned char)Text[0]) << 16) |
                (std::uint64_t((unsigned char)Text[Length / 2]) << 8) |
                (unsigned char)Text[Length - 1];
        }
    } else {
        const char *P = Text;
        std::size_t Left = Length;
        while (Left > 16) {
            Seed = Mix(Read8(P) ^ K1, Read8(P + 8) ^ Seed);
            P += 16;
            Left -= 16;
        }
        A = Read8(Text + Length - 16);
        B = Read8(Text + Length - 8);
    }
    const std::uint64_t H = Mix(A ^ K1, B ^ Seed ^ K2);
    const std::uint32_t Hash = std::uint16_t(H ^ (H >> 16) ^ (H >> 32) ^ (H >> 48));
    return (Length < LongText ? std::uint32_t(Length) : LongText) << 16 | Hash;
}

char *TMyStringList::AllocText(std::int32_t Size) {
    if (Size > BlockSize)
        return AddHeapBlock(std::size_t(Size));
    if (Size > FFree) {
        FNext = TakeBlock();
        FFree = BlockSize;
    }
    char *Result = FNext;
    FNext += Size;
    FFree -= Size;
    return Result;
}

void TMyStringList::AddLine(char *Text, std::size_t Length) {
    const int Index = Count();
    if (std::size_t(Index) == FKeyCapacity) {
        const std::size_t Wanted = FKeyCapacity < 16 ? 16 : FKeyCapacity * 2;
        void *Grown = std::realloc(FKeys, Wanted * sizeof(std::uint32_t));
        if (Grown == nullptr)
            throw std::bad_alloc();
        FKeys = static_cast<std::uint32_t *>(Grown);
        FKeyCapacity = Wanted;
    }
    FKeys[Index] = KeyOf(Text, Length);
    TList::Add(Text);
}

void TMyStringList::LoadFromFile(const std::string &FileName) {
    FError = 0;
    std::size_t Size = 0;
    const int Fd = OpenRegularFile(FileName, FError, Size);
    if (Fd < 0)
        return;
    TFdCloser Closer(Fd);
    TReadState State;
    try {
        ReserveArena(Size);
        ReadLines(Fd, State);
    } catch (const std::bad_alloc &) {
        FError = ENOMEM;
    }
    ReleaseUnusedBlock(State);
}

// A block is taken before the read that fills it, so the last one may have
// received no line (the file ended, or failed). It goes back: a store
// takes only blocks that hold lines.
void TMyStringList::ReleaseUnusedBlock(const TReadState &State) {
    const int Last = FBlocks.Count() - 1;
    if (Last < 0 || FNext != FBlocks.Items(Last) || FFree != BlockSize)
        return;
    if (InArena(FNext))
        FArenaUsed -= BlockSize;
    else
        std::free(FNext);
    FBlocks.Delete(Last);
    FNext = State.SavedNext;
    FFree = State.SavedFree;
}

// Reads straight into the current block and splits the lines in place, so
// the text is copied only when a line end is longer than one byte (CR LF) or
// a line does not fit in what is left of the block. The blocks end up laid
// out exactly as if every line had been placed by AllocText.
void TMyStringList::ReadLines(int Fd, TReadState &State) {
    for (;;) {
        if (FNext == nullptr || State.Pending == std::size_t(FFree)) {
            if (FNext != nullptr && State.Pending == std::size_t(BlockSize)) {
                ReadLongLine(Fd, State);
                if (State.AtEnd)
                    return;
                continue;
            }
            // The unfinished line (if any) no longer fits: the rest of the
            // block is abandoned and the line moves to a fresh block.
            char *Block = TakeBlock();
            if (State.Pending > 0)
                std::memcpy(Block, FNext, State.Pending);
            State.SavedNext = FNext;
            State.SavedFree = FFree;
            FNext = Block;
            FFree = BlockSize;
        }
        char *Dest = FNext + State.Pending;
        const ssize_t Got = read(Fd, Dest, std::size_t(FFree) - State.Pending);
        if (Got < 0) {
            if (errno == EINTR)
                continue;
            // The unfinished line is dropped: it may be incomplete.
            FError = errno;
            return;
        }
        if (Got == 0) {
            if (State.Pending > 0) {
                FNext[State.Pending] = 0;
                AddLine(FNext, State.Cut >= 0 ? std::size_t(State.Cut) : State.Pending);
                FNext += State.Pending + 1;
                FFree -= std::int32_t(State.Pending + 1);
            }
            return;
        }
        SplitChunk(State, Dest + Got);
        if (State.AtEnd)
            return;
        CountRead(State, std::size_t(Got));
    }
}

void TMyStringList::CountRead(TReadState &State, std::size_t Bytes) {
    State.SinceHook += Bytes;
    if (State.SinceHook >= ReadHookBytes && FReadHook) {
        State.SinceHook = 0;
        FReadHook();
    }
}

// Splits the bytes read up to End, which follow the unfinished line at
// FNext. Each finished line is terminated where its line end was and
// appended; later lines move left over the dropped bytes of longer line ends.
// Whatever follows the last line end stays at FNext as the unfinished line.
void TMyStringList::SplitChunk(TReadState &State, char *End) {
    char *Read = FNext + State.Pending;
    if (State.SkipLF) {
        State.SkipLF = false;
        if (*Read == '\n')
            ++Read;
    }
    if (Read == FNext + State.Pending && State.Cut < 0)
        Read = SplitPlainLines(State, Read, End);
    while (Read < End) {
        char *Write = FNext + State.Pending;
        char *Stop = FindSpecial(Read, End);
        while (Stop < End && *Stop == 0) {
            if (State.Cut < 0)
                State.Cut = std::ptrdiff_t(State.Pending) + (Stop - Read);
            Stop = FindSpecial(Stop + 1, End);
        }
        const std::size_t Run = std::size_t(Stop - Read);
        if (Write != Read && Run > 0)
            std::memmove(Write, Read, Run);
        State.Pending += Run;
        if (Stop == End)
            return;
        const char LineEnd = *Stop;
        if (LineEnd == EndOfFileByte && State.Pending == 0) {
            State.AtEnd = true;
            return;
        }
        FNext[State.Pending] = 0;
        AddLine(FNext, State.Cut >= 0 ? std::size_t(State.Cut) : State.Pending);
        FNext += State.Pending + 1;
        FFree -= std::int32_t(State.Pending + 1);
        State.Pending = 0;
        State.Cut = -1;
        if (LineEnd == EndOfFileByte) {
            State.AtEnd = true;
            return;
        }
        Read = Stop + 1;
        if (LineEnd == '\r') {
            if (Read == End)
                State.SkipLF = true;
            else if (*Read == '\n')
                ++Read;
        }
    }
}

// The fast path of SplitChunk for text whose lines end in LF alone: 64
// bytes at a time, while they hold no CR, zero byte or byte 26, each LF
// becomes its line's terminator where it stands. Returns where the general
// path takes over, with the unfinished line at FNext as before.
char *TMyStringList::SplitPlainLines(TReadState &State, char *Read, char *End) {
#if defined(__SSE2__)
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
            const std::size_t Length = std::size_t(LineEnd - FNext);
            *LineEnd = 0;
            AddLine(FNext, Length);
            FNext = LineEnd + 1;
            FFree -= std::int32_t(Length + 1);
        }
    }
    State.Pending = std::size_t(Read - FNext);
#else
    (void)State;
    (void)End;
#endif
    return Read;
}

// The unfinished line fills a whole fresh block, so it will not fit in any
// block: the block grows into one of the line's own size. The block the line
// outgrew becomes current again, so its room serves the lines that follow,
// as AllocText does for a text larger than a block. Bytes read past the
// line's end are given back to the file.
void TMyStringList::ReadLongLine(int Fd, TReadState &State) {
    const int Index = FBlocks.Count() - 1;
    char *Line = FNext;
    std::size_t Length = std::size_t(BlockSize);
    std::size_t Capacity = Length;
    if (InArena(Line)) {
        // Arena blocks cannot grow: the line moves to the heap and its block,
        // the last one carved, goes back to the arena.
        char *Moved = static_cast<char *>(AllocateOrThrow(2 * Capacity));
        std::memcpy(Moved, Line, Length);
        FBlocks.Put(Index, Moved);
        FArenaUsed -= BlockSize;
        Line = Moved;
        Capacity *= 2;
    }
    FNext = State.SavedNext;
    FFree = State.SavedFree;
    State.Pending = 0;
    for (;;) {
        if (Length == Capacity) {
            void *Grown = std::realloc(Line, Capacity * 2);
            if (Grown == nullptr)
                throw std::bad_alloc();
            Line = static_cast<char *>(Grown);
            FBlocks.Put(Index, Line);
            Capacity *= 2;
        }
        const ssize_t Got = read(Fd, Line + Length, Capacity - Length);
        if (Got < 0) {
            if (errno == EINTR)
                continue;
            FError = errno;
            State.AtEnd = true;
            return;
        }
        char *End = Line + Length + Got;
        char *Stop = Got == 0 ? End : FindSpecial(Line + Length, End);
        while (Stop < End && *Stop == 0) {
            if (State.Cut < 0)
                State.Cut = Stop - Line;
            Stop = FindSpecial(Stop + 1, End);
        }
        if (Stop == End && Got > 0) {
            Length += std::size_t(Got);
            CountRead(State, std::size_t(Got));
            continue;
        }
        // The line ends at Stop: a line end, byte 26, or the end of the file.
        const std::size_t TextLength = std::size_t(Stop - Line);
        char *Rest = Stop;
        if (Got == 0 || *Stop == EndOfFileByte) {
            State.AtEnd = true;
        } else {
            ++Rest;
            if (*Stop == '\r') {
                if (Rest == End)
                    State.SkipLF = true;
                else if (*Rest == '\n')
                    ++Rest;
            }
            const off_t Unused = off_t(End - Rest);
            if (Unused > 0 && lseek(Fd, -Unused, SEEK_CUR) < 0) {
                FError = errno;
                State.AtEnd = true;
            }
        }
        Line[TextLength] = 0;
        if (void *Shrunk = std::realloc(Line, TextLength + 1)) {
            Line = static_cast<char *>(Shrunk);
            FBlocks.Put(Index, Line);
        }
        const std::size_t Cut = State.Cut >= 0 ? std::size_t(State.Cut) : TextLength;
        State.Cut = -1;
        AddLine(Line, Cut);
        return;
    }
}

std::size_t TMyStringList::LongTextLength(int Index) const {
    return std::strlen(static_cast<const char *>(Items(Index)));
}

int TMyStringList::LineIndex(const char *Line, int Start, int Count) const {
    return LineIndex(Line, KeyOf(Line, std::strlen(Line)), Start, Count);
}

int TMyStringList::LineIndex(const char *Line, std::uint32_t Key, int Start, int Count) const {
    if (Start < 0)
        Start = 0;
    long long Limit = TList::Count();
    if (Count > 0 && (long long)Start + Count < Limit)
        Limit = (long long)Start + Count;
    void *const *Texts = List();
    // Equal keys of a length below LongText mean texts of that very length.
    const std::uint32_t Length = Key >> 16;
    auto Same = [&](int I) {
        const char *Text = static_cast<const char *>(Texts[I]);
        return Length < LongText ? std::memcmp(Text, Line, Length) == 0
                                 : std::strcmp(Text, Line) == 0;
    };
    int I = Start;
#if defined(__SSE2__)
    const __m128i Wanted = _mm_set1_epi32(int(Key));
    for (; I + 4 <= Limit; I += 4) {
        const __m128i Keys = _mm_loadu_si128(reinterpret_cast<const __m128i *>(FKeys + I));
        unsigned Mask = unsigned(_mm_movemask_ps(_mm_castsi128_ps(_mm_cmpeq_epi32(Keys, Wanted))));
        while (Mask != 0) {
            const int Lane = __builtin_ctz(Mask);
            if (Same(I + Lane))
                return I + Lane;
            Mask &= Mask - 1;
        }
    }
#endif
    for (; I < Limit; ++I)
        if (FKeys[I] == Key && Same(I))
            return I;
    return -1;
}

void TMyStringList::NormaliseBigNumbers(int MaxLength) {
    const std::size_t Max = MaxLength < 0 ? 0 : std::size_t(MaxLength);
    for (int I = 0; I < TList::Count(); ++I) {
        char *Text = static_cast<char *>(Items(I));
        if (RewriteBigNumbers(Text, Max))
            FKeys[I] = KeyOf(Text, std::strlen(Text));
    }
}
