#include "TLineFolding.h"

#include <algorithm>
#include <cstring>

#if defined(__x86_64__)
#include <tmmintrin.h>
#endif

namespace {

#if defined(__x86_64__)
// For each set of kept lanes of 8 bytes: the lanes in order (for pshufb) and
// how many there are.
struct TCompactTable {
    alignas(16) unsigned char Lanes[256][8];
    unsigned char Count[256];
    TCompactTable() {
        for (int Keep = 0; Keep < 256; ++Keep) {
            Count[Keep] = 0;
            for (int Lane = 0; Lane < 8; ++Lane)
                if (Keep >> Lane & 1)
                    Lanes[Keep][Count[Keep]++] = (unsigned char)Lane;
            for (int Rest = Count[Keep]; Rest < 8; ++Rest)
                Lanes[Keep][Rest] = 0x80; // pshufb writes a zero byte
        }
    }
};
const TCompactTable Compact;

// Folds the 16 bytes at From to Out: the letters in one go, and the bytes
// kept (of the lanes in Valid) move left over the blanks by two shuffles.
// Returns the bytes written.
__attribute__((target("ssse3"))) inline std::size_t
FoldChunk(const char *From, char *Out, __m128i CaseBit, unsigned Blanks, unsigned Valid) {
    __m128i V = _mm_loadu_si128(reinterpret_cast<const __m128i *>(From));
    const __m128i Letter = _mm_and_si128(_mm_cmpgt_epi8(V, _mm_set1_epi8('A' - 1)),
                                         _mm_cmplt_epi8(V, _mm_set1_epi8('Z' + 1)));
    V = _mm_add_epi8(V, _mm_and_si128(Letter, CaseBit));
    const __m128i Blank = _mm_or_si128(
        _mm_or_si128(_mm_cmpeq_epi8(V, _mm_set1_epi8(' ')), _mm_cmpeq_epi8(V, _mm_set1_epi8('\t'))),
        _mm_or_si128(_mm_cmpeq_epi8(V, _mm_set1_epi8('\f')),
                     _mm_cmpeq_epi8(V, _mm_set1_epi8('\v'))));
    const unsigned Keep = ~(unsigned(_mm_movemask_epi8(Blank)) & Blanks) & Valid;
    const unsigned Low = Keep & 0xFF, High = Keep >> 8;
    const auto Lanes = [](unsigned Set) {
        return _mm_loadl_epi64(reinterpret_cast<const __m128i *>(Compact.Lanes[Set]));
    };
    _mm_storel_epi64(reinterpret_cast<__m128i *>(Out), _mm_shuffle_epi8(V, Lanes(Low)));
    _mm_storel_epi64(reinterpret_cast<__m128i *>(Out + Compact.Count[Low]),
                     _mm_shuffle_epi8(_mm_srli_si128(V, 8), Lanes(High)));
    return Compact.Count[Low] + Compact.Count[High];
}

// Folds Text 16 bytes at a time; a short text goes through a zeroed copy,
// so nothing past the text is read.
__attribute__((target("ssse3"))) std::size_t FoldChunks(const char *Text, std::size_t Length,
                                                        char *Out, TLineFolding::TIgnored Ignored) {
    const __m128i CaseBit = _mm_set1_epi8(Ignored.IgnoreCase ? 0x20 : 0);
    const unsigned Blanks = Ignored.IgnoreWhiteSpace ? 0xFFFF : 0;
    std::size_t K = 0;
    std::size_t At = 0;
    for (; K + 16 <= Length; K += 16)
        At += FoldChunk(Text + K, Out + At, CaseBit, Blanks, 0xFFFF);
    if (K < Length && Length >= 16) {
        // The last 16 bytes of the text, of which the first few are done.
        At += FoldChunk(Text + Length - 16, Out + At, CaseBit, Blanks,
                        0xFFFFu << (16 - (Length - K)) & 0xFFFF);
    } else if (K < Length) {
        alignas(16) char Tail[16] = {};
        std::memcpy(Tail, Text + K, Length - K);
        At += FoldChunk(Tail, Out + At, CaseBit, Blanks, (1u << (Length - K)) - 1);
    }
    return At;
}

const bool HasSsse3 = __builtin_cpu_supports("ssse3");
#endif

} // namespace

bool RewriteBigNumbers(char *Line, std::size_t MaxLength) {
    bool Changed = false;
    char *Write = Line; // where the text from Kept on belongs
    char *Kept = Line;
    char *P = Line;
    // The scan reads the text as it was; what lies between two rewrites
    // moves left once, so a long line of many numbers costs its length, not
    // its length per number.
    for (;;) {
        if (*P == 0)
            break;
        while (*P != 0 && *P != '+' && *P != '-' && !(*P >= '0' && *P <= '9'))
            ++P;
        char *Start = P;
        if (*P == '+' || *P == '-')
            ++P;
        while (*P >= '0' && *P <= '9')
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

TLineFolding::TLineFolding(TIgnored Ignored, TTextFilter Filter)
    : FIgnored(Ignored), FFilter(std::move(Filter)) {
    for (int C = 0; C < 256; ++C) {
        FFoldTo[C] =
            (unsigned char)(Ignored.IgnoreCase && C >= 'A' && C <= 'Z' ? C - 'A' + 'a' : C);
        FSkipped[C] = Ignored.IgnoreWhiteSpace && (C == ' ' || C == '\t' || C == '\f' || C == '\v');
    }
}

std::size_t TLineFolding::Fold(const char *Text, std::size_t Length, char *Out) const {
    if (!Rewrites())
        return FoldCaseAndSpace(Text, Length, Out);
    if (!FFilter.Strip(std::string_view(Text, Length), FStripped))
        ++FLimitHits;
    // Removing matches and rewriting numbers only shortens the text.
    if (FIgnored.IgnoreBigNumbers && RewriteBigNumbers(FStripped.data(), BigNumberLength))
        FStripped.resize(std::strlen(FStripped.c_str()));
    return FoldCaseAndSpace(FStripped.data(), FStripped.size(), Out);
}

std::string_view TLineFolding::Fold(const char *Text, std::size_t Length,
                                    std::string &Buffer) const {
    if (Buffer.size() < Length + 16)
        Buffer.resize(std::max(Length + 16, 2 * Buffer.size()));
    return std::string_view(Buffer.data(), Fold(Text, Length, Buffer.data()));
}

std::size_t TLineFolding::FoldCaseAndSpace(const char *Text, std::size_t Length, char *Out) const {
#if defined(__x86_64__)
    if (HasSsse3)
        return FoldChunks(Text, Length, Out, FIgnored);
#endif
    return FoldBytes(Text, Length, Out);
}

std::size_t TLineFolding::FoldBytes(const char *Text, std::size_t Length, char *Out) const {
    std::size_t Kept = 0;
    for (std::size_t K = 0; K < Length; ++K) {
        const unsigned char C = Text[K];
        Out[Kept] = char(FFoldTo[C]);
        Kept += 1u - FSkipped[C];
    }
    return Kept;
}

bool TLineFolding::SameAsFolded(const char *Text, std::string_view Folded) const {
    return Fold(Text, std::strlen(Text), FOther) == Folded;
}

bool TLineFolding::Same(const char *A, const char *B) const {
    // Lines found equal are mostly equal byte for byte too.
    if (std::strcmp(A, B) == 0)
        return true;
    if (Rewrites()) {
        std::string Folded;
        return SameAsFolded(B, Fold(A, std::strlen(A), Folded));
    }
    auto P = reinterpret_cast<const unsigned char *>(A);
    auto Q = reinterpret_cast<const unsigned char *>(B);
    for (;; ++P, ++Q) {
        while (FSkipped[*P])
            ++P;
        while (FSkipped[*Q])
            ++Q;
        if (FFoldTo[*P] != FFoldTo[*Q])
            return false;
        if (*P == 0)
            return true;
    }
}
