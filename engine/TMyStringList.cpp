#include "TMyStringList.h"

#include "TLineReader.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <new>
#include <unistd.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

TMyStringList::~TMyStringList() {
    std::free(FKeys);
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

// The key of the folded text, folded into a scratch buffer first: the keys
// must agree exactly when the folded texts do.
std::uint32_t TMyStringList::KeyOfFolded(const char *Text, std::size_t Length) const {
    if (FFolded.size() < Length + 16)
        FFolded.resize(std::max(Length + 16, 2 * FFolded.size()));
    return KeyOf(FFolded.data(), FFolding.Fold(Text, Length, FFolded.data()));
}

void TMyStringList::GrowKeys() {
    const std::size_t Wanted = FKeyCapacity < 16 ? 16 : FKeyCapacity * 2;
    void *Grown = std::realloc(FKeys, Wanted * sizeof(std::uint32_t));
    if (Grown == nullptr)
        throw std::bad_alloc();
    FKeys = static_cast<std::uint32_t *>(Grown);
    FKeyCapacity = Wanted;
}

TLineReader TMyStringList::Reader() {
    return TLineReader(
        FTexts,
        [this](std::span<const TLineReader::TLine> Lines) {
            for (const TLineReader::TLine &Line : Lines)
                AddLine(Line.Text, Line.Length);
        },
        FReadHook);
}

void TMyStringList::LoadFromFile(const std::string &FileName) {
    Load([&FileName](TLineReader &Reader) { return Reader.ReadFile(FileName); });
}

void TMyStringList::LoadFromBytes(std::string_view Bytes) {
    Load([Bytes](TLineReader &Reader) { return Reader.ReadBytes(Bytes); });
}

void TMyStringList::LoadFromDescriptor(int Fd) {
    // Read whole first: a pipe cannot give back what a long line's read
    // took beyond the line, as the reader of a file does.
    std::string Bytes;
    int Error = 0;
    try {
        char Chunk[65536];
        for (;;) {
            const ssize_t Got = read(Fd, Chunk, sizeof Chunk);
            if (Got < 0 && errno == EINTR)
                continue;
            if (Got < 0)
                Error = errno;
            if (Got <= 0)
                break;
            Bytes.append(Chunk, std::size_t(Got));
        }
    } catch (const std::bad_alloc &) {
        Error = ENOMEM;
    }
    LoadFromBytes(Bytes);
    if (FError == 0)
        FError = Error;
}

void TMyStringList::Load(const std::function<int(TLineReader &)> &Read) {
    FError = 0; // what it stays when the hook throws
    const std::size_t LimitHits = FFolding.LimitHits();
    TLineReader Lines = Reader();
    FError = Read(Lines);
    FUnfiltered += FFolding.LimitHits() - LimitHits;
    FCutLines += Lines.CutLines();
    if (Count() > 0)
        FLastLineEnded = Lines.LastLineEnded();
}

std::size_t TMyStringList::LongTextLength(int Index) const {
    return std::strlen(static_cast<const char *>(Items(Index)));
}

int TMyStringList::LineIndex(const char *Line, int Start, int Count) const {
    return LineIndex(Line, FoldedKeyOf(Line, std::strlen(Line)), Start, Count);
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
    const bool Folded = FFolding.Active();
    // A line the folding must rewrite is folded once, at the first key that
    // agrees, and not again for each candidate.
    std::string_view FoldedLine;
    bool LineFolded = false;
    auto Same = [&](int I) {
        const char *Text = static_cast<const char *>(Texts[I]);
        if (Folded && FFolding.Rewrites()) {
            if (!LineFolded) {
                FoldedLine = FFolding.Fold(Line, std::strlen(Line), FNeedle);
                LineFolded = true;
            }
            return FFolding.SameAsFolded(Text, FoldedLine);
        }
        if (Folded)
            return FFolding.Same(Text, Line);
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
            FKeys[I] = FoldedKeyOf(Text, std::strlen(Text));
    }
}
