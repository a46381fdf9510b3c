#include "Compare.h"
#include "EngineTestSupport.h"

#include <gtest/gtest.h>

namespace {

using TLines = std::vector<std::string>;
using TReport = std::vector<std::pair<TLineKind, std::string>>;

// The walk's decision table written out plainly: both look-ups in full at
// every step, no shortcuts.
TReport ReferenceWalk(const TLines &A, const TLines &B) {
    auto Find = [](const TLines &In, const std::string &Line, std::size_t Start) -> long {
        for (std::size_t K = Start; K < In.size() && K < Start + LookAhead; ++K)
            if (In[K] == Line)
                return long(K);
        return -1;
    };
    TReport Report;
    long I = 0, J = 0, N1 = long(A.size()), N2 = long(B.size());
    auto First = [&] { Report.emplace_back(TLineKind::OnlyInFirst, A[I++]); };
    auto Second = [&] { Report.emplace_back(TLineKind::OnlyInSecond, B[J++]); };
    while (I < N1 && J < N2) {
        const long K1 = Find(B, A[I], J), K2 = Find(A, B[J], I);
        if (K1 == -1) {
            First();
        } else if (K2 == -1) {
            Second();
        } else if (K1 == J && K2 == I) {
            Report.emplace_back(TLineKind::Common, A[I++]);
            ++J;
        } else if (K2 - I > K1 - J) {
            while (J < K1)
                Second();
        } else {
            while (I < K2)
                First();
        }
    }
    while (I < N1)
        First();
    while (J < N2)
        Second();
    return Report;
}

// A file drawn from a vocabulary (a small one repeats lines often) and an
// edited copy of it or, now and then, a file drawn afresh.
std::pair<TLines, TLines> RandomPair(TRandom &Random) {
    const unsigned Vocabulary = 2 + Random.Below(400);
    auto Line = [&] { return "line " + std::to_string(Random.Below(Vocabulary)); };
    TLines A(Random.Below(350)), B;
    for (std::string &L : A)
        L = Line();
    if (Random.Below(8) == 0) {
        B.resize(Random.Below(350));
        for (std::string &L : B)
            L = Line();
        return {A, B};
    }
    const unsigned EditRate = 1 + Random.Below(40);
    for (const std::string &L : A) {
        const unsigned Edit = Random.Below(100) < EditRate ? Random.Below(4) : 4;
        if (Edit == 1)
            B.push_back(L + "'");
        if (Edit == 2)
            for (unsigned N = 1 + Random.Below(3); N > 0; --N)
                B.push_back(Line());
        if (Edit == 3)
            B.insert(B.begin() + Random.Below(unsigned(B.size()) + 1), L);
        if (Edit >= 2 && Edit != 3)
            B.push_back(L);
    }
    // Now and then a block of new lines longer than the look-ahead.
    for (unsigned K = 0, N = Random.Below(6) == 0 ? 90 + Random.Below(30) : 0; K < N; ++K)
        B.insert(B.begin() + Random.Below(unsigned(B.size()) + 1), "new " + std::to_string(K));
    return {A, B};
}

// Every line of each file is reported exactly once, in file order, as its
// own kind or as common, and the report is the plain walk's.
TEST(WalkProperty, EveryLineOnceInOrderAsThePlainWalkReportsIt) {
    const auto Folder = MakeTestFolder();
    for (unsigned Seed = 1; Seed <= 400; ++Seed) {
        SCOPED_TRACE("seed " + std::to_string(Seed));
        TRandom Random(Seed);
        const auto [A, B] = RandomPair(Random);
        const auto Write = [&](const char *Name, const TLines &Lines) {
            std::string Text;
            for (const std::string &L : Lines)
                Text += L + "\n";
            return WriteBytes(Folder / Name, Text);
        };
        TRecordingSink Sink;
        CompareFiles({.FileName1 = Write("one", A), .FileName2 = Write("two", B)}, Sink);
        TLines Seen1, Seen2;
        TReport Report;
        for (const auto &Line : Sink.Lines) {
            const bool In1 = Line.Kind != TLineKind::OnlyInSecond;
            const bool In2 = Line.Kind != TLineKind::OnlyInFirst;
            ASSERT_EQ(Line.Prefix, In1 && In2 ? "      " : In1 ? "one   " : "two   ");
            if (In1)
                Seen1.push_back(Line.Text);
            if (In2)
                Seen2.push_back(Line.Text);
            Report.emplace_back(Line.Kind, Line.Text);
        }
        ASSERT_EQ(Seen1, A);
        ASSERT_EQ(Seen2, B);
        ASSERT_EQ(Report, ReferenceWalk(A, B));
    }
}

} // namespace
