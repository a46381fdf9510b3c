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
constexpr std::int32_t BlockSize = TTextBlocks::BlockSize;

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

TLineReader::TLineReader(TTextBlocks &Blocks, TAddLines AddLines, THook Hook)
    : FBlocks(Blocks), FCursor(Blocks.Cursor()), FAddLines(std::move(AddLines)),
      FHook(std::move(Hook)) {}

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
        FBlocks.Reserve(Size);
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
// received no line (the text ended, failed or was stopped). It goes back:
// blocks are taken only to hold lines.
void TLineReader::ReleaseUnusedBlock() {
    if (FTaken == nullptr || FCursor.Next != FTaken || FCursor.Free != BlockSize)
        return;
    FBlocks.DropLastBlock();
    FTaken = nullptr;
    FCursor = FSaved;
}

// Every pass hands over the lines it split before anything else can fail,
// stop or throw, so the lines read so far stay in every case.
void TLineReader::ReadLines() {
    TTextBlocks::TCursor &C = FCursor;
    while (!FAtEnd) {
        if (C.Next == nullptr || FPending == std::size_t(C.Free)) {
            if (C.Next != nullptr && FPending == std::size_t(BlockSize)) {
                ReadLongLine();
                FlushLines();
                continue;
            }
            // The unfinished line (if any) no longer fits: the rest of the
            // block is abandoned and the line moves to a fresh block.
            char *Block = FBlocks.TakeBlock();
            if (FPending > 0)
                std::memcpy(Block, C.Next, FPending);
            FTaken = Block;
            FSaved = C;
            C = {Block, BlockSize};
        }
        char *Dest = C.Next + FPending;
        const long Got = ReadSome(Dest, std::size_t(C.Free) - FPending);
        if (Got < 0)
            return; // the unfinished line is dropped: it may be incomplete
        if (Got == 0) {
            if (FPending > 0) {
                FinishLine();
                FLastEnded = false;
            }
            FlushLines();
            return;
        }
        SplitChunk(Dest + Got);
        FlushLines();
        if (!FAtEnd)
            CountRead(std::size_t(Got));
    }
}

void TLineReader::FlushLines() {
    const std::size_t Count = FBatched;
    FBatched = 0; // a taker that fails keeps what it took
    FAddLines(std::span<const TLine>(FBatch, Count));
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

// The unfinished line at the cursor is whole: terminated and appended.
void TLineReader::FinishLine() {
    TTextBlocks::TCursor &C = FCursor;
    char *Text = C.Next;
    Text[FPending] = 0;
    C.Next += FPending + 1;
    C.Free -= std::int32_t(FPending + 1);
    FCutLines += FCut >= 0;
    BatchLine(Text, FCut >= 0 ? std::size_t(FCut) : FPending);
    FPending = 0;
    FCut = -1;
}

// Splits the bytes read up to End, which follow the unfinished line at
// the cursor. Each finished line is terminated where its line end was and
// appended; later lines move left over the dropped bytes of longer line ends.
// Whatever follows the last line end stays at the cursor as the unfinished
// line.
void TLineReader::SplitChunk(char *End) {
    TTextBlocks::TCursor &C = FCursor;
    char *Read = C.Next + FPending;
    if (FSkipLF) {
        FSkipLF = false;
        if (*Read == '\n')
            ++Read;
    }
    if (Read == C.Next + FPending && FCut < 0)
        Read = SplitPlainLines(Read, End);
    while (Read < End) {
        char *Write = C.Next + FPending;
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
        FLastEnded = LineEnd != EndOfFileByte;
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
// path takes over, with the unfinished line at the cursor as before.
char *TLineReader::SplitPlainLines(char *Read, char *End) {
#if defined(__SSE2__)
    TTextBlocks::TCursor &C = FCursor;
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
            char *Text = C.Next;
            char *LineEnd = Read + __builtin_ctzll(Ends);
            const std::size_t Length = std::size_t(LineEnd - Text);
            *LineEnd = 0;
            C.Next = LineEnd + 1;
            C.Free -= std::int32_t(Length + 1);
            BatchLine(Text, Length);
        }
    }
    FPending = std::size_t(Read - C.Next);
#else
    (void)End;
#endif
    return Read;
}

// The unfinished line fills a whole fresh block, so it will not fit in any
// block: the block grows into one of the line's own size. The block the line
// outgrew becomes current again, so its room serves the lines that follow,
// as it would for a text placed there that is larger than a block. Bytes
// read past the line's end are given back.
void TLineReader::ReadLongLine() {
    std::size_t Capacity = 2 * std::size_t(BlockSize);
    char *Line = FBlocks.ResizeLastBlock(Capacity);
    if (Line == nullptr)
        throw std::bad_alloc();
    FCursor = FSaved;
    FPending = 0;
    std::size_t Length = std::size_t(BlockSize);
    for (;;) {
        if (Length == Capacity) {
            Line = FBlocks.ResizeLastBlock(Capacity * 2);
            if (Line == nullptr)
                throw std::bad_alloc();
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
        EndLongLine(Line, Stop, End);
        return;
    }
}

// The long line ends at Stop: a line end or byte 26 before End, or End
// itself when the text has ended.
void TLineReader::EndLongLine(char *Line, char *Stop, char *End) {
    const std::size_t TextLength = std::size_t(Stop - Line);
    FLastEnded = Stop != End && *Stop != EndOfFileByte;
    if (!FLastEnded) {
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
    if (char *Shrunk = FBlocks.ResizeLastBlock(TextLength + 1))
        Line = Shrunk;
    const std::size_t Cut = FCut >= 0 ? std::size_t(FCut) : TextLength;
    FCutLines += FCut >= 0;
    FCut = -1;
    BatchLine(Line, Cut);
}
