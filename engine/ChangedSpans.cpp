#include "ChangedSpans.h"

#include "Utf8.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

struct TToken {
    std::size_t Start;
    std::size_t Length;
    std::uint64_t Hash;
    bool Space;
};

bool IsWordByte(unsigned char C) {
    return (C >= '0' && C <= '9') || (C >= 'a' && C <= 'z') || (C >= 'A' && C <= 'Z') || C == '_' ||
           C >= 0x80;
}

bool IsSpaceByte(unsigned char C) {
    return C == ' ' || C == '\t' || C == '\v' || C == '\f' || C == '\r';
}

// FNV-1a.
std::uint64_t HashBytes(std::string_view Bytes) {
    std::uint64_t Hash = 0xCBF29CE484222325ull;
    for (const char C : Bytes)
        Hash = (Hash ^ (unsigned char)C) * 0x100000001B3ull;
    return Hash;
}

std::vector<TToken> Tokens(std::string_view Text) {
    std::vector<TToken> Out;
    for (std::size_t At = 0; At < Text.size();) {
        const unsigned char C = Text[At];
        std::size_t End = At + 1;
        if (IsWordByte(C)) {
            while (End < Text.size() && IsWordByte(Text[End]))
                ++End;
        } else if (IsSpaceByte(C)) {
            while (End < Text.size() && IsSpaceByte(Text[End]))
                ++End;
        }
        Out.push_back({At, End - At, HashBytes(Text.substr(At, End - At)), IsSpaceByte(C)});
        At = End;
    }
    return Out;
}

// A token list with the text it was cut from.
struct TTokenLine {
    std::string_view Text;
    std::vector<TToken> Tokens;

    bool Same(std::size_t I, const TTokenLine &Other, std::size_t J) const {
        const TToken &A = Tokens[I], &B = Other.Tokens[J];
        return A.Hash == B.Hash && A.Length == B.Length &&
               std::memcmp(Text.data() + A.Start, Other.Text.data() + B.Start, A.Length) == 0;
    }
};

// The walk gives up past this many edits: the lines differ too much for
// marks to help, and its memory grows with the square of the edits.
constexpr std::size_t MaxEdits = 1000;

// Myers' greedy walk over A[Lo1, Hi1) and B[Lo2, Hi2): marks the tokens of
// each that are not in a longest common subsequence. False, with nothing
// marked, when more than MaxEdits edits would be needed.
bool MarkByWalk(const TTokenLine &A, std::size_t Lo1, std::size_t Hi1, const TTokenLine &B,
                std::size_t Lo2, std::size_t Hi2, std::vector<char> &MarkA,
                std::vector<char> &MarkB) {
    const long N = long(Hi1 - Lo1), M = long(Hi2 - Lo2);
    const long Limit = std::min<long>(N + M, long(MaxEdits));
    // V[Limit + k]: the furthest x reached on diagonal k = x - y.
    std::vector<long> V(std::size_t(2 * Limit + 3), 0);
    // Trace[d]: the V of diagonals -d..d before step d + 1.
    std::vector<std::vector<long>> Trace;
    long Found = -1;
    for (long D = 0; D <= Limit && Found < 0; ++D) {
        for (long K = -D; K <= D; K += 2) {
            long X = K == -D || (K != D && V[Limit + K - 1] < V[Limit + K + 1])
                         ? V[Limit + K + 1]
                         : V[Limit + K - 1] + 1;
            long Y = X - K;
            while (X < N && Y < M && A.Same(Lo1 + X, B, Lo2 + Y))
                ++X, ++Y;
            V[Limit + K] = X;
            if (X >= N && Y >= M)
                Found = D;
        }
        Trace.emplace_back(V.begin() + (Limit - D), V.begin() + (Limit + D + 1));
    }
    if (Found < 0)
        return false;
    long X = N, Y = M;
    for (long D = Found; D > 0; --D) {
        const std::vector<long> &Before = Trace[std::size_t(D - 1)]; // diagonals -(D-1)..D-1
        const auto At = [&](long K) { return Before[std::size_t(K + D - 1)]; };
        const long K = X - Y;
        const bool Down = K == -D || (K != D && At(K - 1) < At(K + 1));
        const long PrevK = Down ? K + 1 : K - 1;
        const long PrevX = At(PrevK), PrevY = PrevX - PrevK;
        if (Down)
            MarkB[std::size_t(Lo2 + PrevY)] = 1;
        else
            MarkA[std::size_t(Lo1 + PrevX)] = 1;
        X = PrevX, Y = PrevY;
    }
    return true;
}

// Whether some token other than white space is in both lines.
bool ShareAToken(const TTokenLine &A, const TTokenLine &B) {
    std::vector<std::size_t> Order;
    for (std::size_t I = 0; I < A.Tokens.size(); ++I)
        if (!A.Tokens[I].Space)
            Order.push_back(I);
    std::sort(Order.begin(), Order.end(),
              [&A](std::size_t I, std::size_t J) { return A.Tokens[I].Hash < A.Tokens[J].Hash; });
    for (std::size_t J = 0; J < B.Tokens.size(); ++J) {
        if (B.Tokens[J].Space)
            continue;
        auto It = std::lower_bound(
            Order.begin(), Order.end(), B.Tokens[J].Hash,
            [&A](std::size_t I, std::uint64_t Hash) { return A.Tokens[I].Hash < Hash; });
        for (; It != Order.end() && A.Tokens[*It].Hash == B.Tokens[J].Hash; ++It)
            if (A.Same(*It, B, J))
                return true;
    }
    return false;
}

std::vector<TSpan> JoinMarked(const TTokenLine &Line, const std::vector<char> &Marked) {
    std::vector<TSpan> Spans;
    for (std::size_t I = 0; I < Marked.size(); ++I) {
        if (!Marked[I])
            continue;
        const TToken &Token = Line.Tokens[I];
        if (!Spans.empty() && Spans.back().Start + Spans.back().Length == Token.Start)
            Spans.back().Length += Token.Length;
        else
            Spans.push_back({Token.Start, Token.Length});
    }
    return Spans;
}

bool IsContinuationByte(char C) {
    return ((unsigned char)C & 0xC0) == 0x80;
}

// Each line's part between the common prefix and the common suffix, cut at
// character boundaries.
TPairMarks MarkBetweenEnds(std::string_view A, std::string_view B) {
    const std::size_t Shorter = std::min(A.size(), B.size());
    std::size_t Prefix = 0;
    while (Prefix < Shorter && A[Prefix] == B[Prefix])
        ++Prefix;
    while (Prefix > 0 && ((Prefix < A.size() && IsContinuationByte(A[Prefix])) ||
                          (Prefix < B.size() && IsContinuationByte(B[Prefix]))))
        --Prefix;
    std::size_t Suffix = 0;
    while (Suffix < Shorter - Prefix && A[A.size() - 1 - Suffix] == B[B.size() - 1 - Suffix])
        ++Suffix;
    while (Suffix > 0 &&
           (IsContinuationByte(A[A.size() - Suffix]) || IsContinuationByte(B[B.size() - Suffix])))
        --Suffix;
    TPairMarks Marks;
    if (A.size() > Prefix + Suffix)
        Marks.First.push_back({Prefix, A.size() - Prefix - Suffix});
    if (B.size() > Prefix + Suffix)
        Marks.Second.push_back({Prefix, B.size() - Prefix - Suffix});
    return Marks;
}

// The tokens of a line other than white space, by hash, for similarity.
std::vector<std::uint64_t> WordHashes(std::string_view Text) {
    std::vector<std::uint64_t> Hashes;
    for (const TToken &Token : Tokens(Text))
        if (!Token.Space)
            Hashes.push_back(Token.Hash);
    std::sort(Hashes.begin(), Hashes.end());
    return Hashes;
}

// Twice the tokens the two have in common over the tokens of both: 1 for
// lines of the same tokens, 0 for lines with none in common.
double Similarity(const std::vector<std::uint64_t> &A, const std::vector<std::uint64_t> &B) {
    if (A.empty() && B.empty())
        return 1.0;
    std::size_t Common = 0;
    for (std::size_t I = 0, J = 0; I < A.size() && J < B.size();) {
        if (A[I] == B[J])
            ++Common, ++I, ++J;
        else if (A[I] < B[J])
            ++I;
        else
            ++J;
    }
    return 2.0 * double(Common) / double(A.size() + B.size());
}

constexpr double MinSimilarity = 0.5;

} // namespace

TPairMarks MarkChanges(std::string_view First, std::string_view Second) {
    // Characters are never more than bytes: only a long line needs counting.
    if ((First.size() > MarkedLineLimit && CharacterCount(First) > MarkedLineLimit) ||
        (Second.size() > MarkedLineLimit && CharacterCount(Second) > MarkedLineLimit))
        return MarkBetweenEnds(First, Second);
    const TTokenLine A{First, Tokens(First)}, B{Second, Tokens(Second)};
    // The walk need not cover what both begin and end with.
    std::size_t Lo = 0, Hi1 = A.Tokens.size(), Hi2 = B.Tokens.size();
    while (Lo < Hi1 && Lo < Hi2 && A.Same(Lo, B, Lo))
        ++Lo;
    while (Hi1 > Lo && Hi2 > Lo && A.Same(Hi1 - 1, B, Hi2 - 1))
        --Hi1, --Hi2;
    std::vector<char> MarkA(A.Tokens.size(), 0), MarkB(B.Tokens.size(), 0);
    if (!MarkByWalk(A, Lo, Hi1, B, Lo, Hi2, MarkA, MarkB)) {
        if (!ShareAToken(A, B))
            return {};
        return MarkBetweenEnds(First, Second);
    }
    // What is unmarked is common to both: a word among it says they share one.
    bool Shared = false;
    for (std::size_t I = 0; I < A.Tokens.size() && !Shared; ++I)
        Shared = !MarkA[I] && !A.Tokens[I].Space;
    if (!Shared)
        return {};
    return {JoinMarked(A, MarkA), JoinMarked(B, MarkB)};
}

std::vector<std::pair<std::size_t, std::size_t>>
PairBlockLines(const std::vector<std::string_view> &First,
               const std::vector<std::string_view> &Second) {
    const std::size_t N = First.size(), M = Second.size();
    std::vector<std::pair<std::size_t, std::size_t>> Pairs;
    if (N == M || std::max(N, M) > SimilarityBlockLimit) {
        for (std::size_t K = 0; K < std::min(N, M); ++K)
            Pairs.emplace_back(K, K);
        return Pairs;
    }
    if (N == 0 || M == 0)
        return Pairs;
    std::vector<std::vector<std::uint64_t>> WordsA, WordsB;
    for (const std::string_view Line : First)
        WordsA.push_back(WordHashes(Line));
    for (const std::string_view Line : Second)
        WordsB.push_back(WordHashes(Line));
    // Best[i][j]: the greatest sum of similarities pairing the first i lines
    // of First with the first j of Second.
    std::vector<std::vector<double>> Best(N + 1, std::vector<double>(M + 1, 0.0));
    std::vector<std::vector<double>> Alike(N, std::vector<double>(M, 0.0));
    for (std::size_t I = 1; I <= N; ++I)
        for (std::size_t J = 1; J <= M; ++J) {
            const double S = Similarity(WordsA[I - 1], WordsB[J - 1]);
            Alike[I - 1][J - 1] = S;
            double Value = std::max(Best[I - 1][J], Best[I][J - 1]);
            if (S >= MinSimilarity)
                Value = std::max(Value, Best[I - 1][J - 1] + S);
            Best[I][J] = Value;
        }
    for (std::size_t I = N, J = M; I > 0 && J > 0;) {
        const double S = Alike[I - 1][J - 1];
        if (S >= MinSimilarity && Best[I][J] == Best[I - 1][J - 1] + S) {
            Pairs.emplace_back(I - 1, J - 1);
            --I, --J;
        } else if (Best[I][J] == Best[I - 1][J]) {
            --I;
        } else {
            --J;
        }
    }
    std::reverse(Pairs.begin(), Pairs.end());
    return Pairs;
}
