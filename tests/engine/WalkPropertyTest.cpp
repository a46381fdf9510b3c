#include "Compare.h"
#include "EngineTestSupport.h"

#include <cstdint>
#include <gtest/gtest.h>

namespace {

using TLines = std::vector<std::string>;

struct TReportLine {
    TLineKind Kind;
    std::string Text;
    bool operator==(const TReportLine &) const = default;
};

// The walk's decision table written out plainly over whole lines: both
// look-ups in full every step, no shortcuts.
std::vector<TReportLine> ReferenceWalk(const TLines &A, const TLines &B) {
    auto Find = [](const TLines &Store, const std::string &Line, std::size_t Start) -> long {
        for (std::size_t K = Start; K < Store.size() && K < Start + LookAhead; ++K)
            if (Store[K] == Line)
                return long(K);
        return -1;
    };
    std::vector<TReportLine> Report;
    std::size_t I = 0, J = 0;
    while (I < A.size() && J < B.size()) {
        const long K1 = Find(B, A[I], J);
        const long K2 = Find(A, B[J], I);
        if (K1 == -1) {
            Report.push_back({TLineKind::OnlyInFirst, A[I++]});
        } else if (K2 == -1) {
            Report.push_back({TLineKind::OnlyInSecond, B[J++]});
        } else if (K1 == long(J) && K2 == long(I)) {
            Report.push_back({TLineKind::Common, A[I]});
            ++I;
            ++J;
        } else if (K2 - long(I) > K1 - long(J)) {
            while (long(J) < K1)
                Report.push_back({TLineKind::OnlyInSecond, B[J++]});
        } else {
            while (long(I) < K2)
                Report.push_back({TLineKind::OnlyInFirst, A[I++]});
        }
    }
    while (I < A.size())
        Report.push_back({TLineKind::OnlyInFirst, A[I++]});
    while (J < B.size())
        Report.push_back({TLineKind::OnlyInSecond, B[J++]});
    return Report;
}

class TRandom {
public:
    explicit TRandom(std::uint64_t Seed) : FState(Seed * 0x9E3779B97F4A7C15ull + 7) {}
    unsigned Below(unsigned Limit) {
        FState ^= FState << 13;
        FState ^= FState >> 7;
        FState ^= FState << 17;
        return unsigned(FState % Limit);
    }

private:
    std::uint64_t FState;
};

// A first file drawn from a vocabulary (small ones repeat lines often), and
// a second that is an edited copy or, now and then, drawn afresh.
std::pair<TLines, TLines> RandomPair(TRandom &Random) {
    const unsigned Vocabulary = 2 + Random.Below(400);
    auto Line = [&] {
        const unsigned Word = Random.Below(Vocabulary);
        return Word == 0 ? std::string() : "line " + std::to_string(Word);
    };
    TLines A;
    const unsigned Length = Random.Below(350);
    for (unsigned K = 0; K < Length; ++K)
        A.push_back(Line());
    TLines B;
    if (Random.Below(8) == 0) {
        const unsigned Other = Random.Below(350);
        for (unsigned K = 0; K < Other; ++K)
            B.push_back(Line());
        return {A, B};
    }
    const unsigned EditRate = 1 + Random.Below(40);
    for (std::size_t K = 0; K < A.size(); ++K) {
        if (Random.Below(100) >= EditRate) {
            B.push_back(A[K]);
            continue;
        }
        switch (Random.Below(4)) {
        case 0: // deleted
            break;
        case 1: // changed
            B.push_back(A[K] + "'");
            break;
        case 2: // inserted
            for (unsigned N = 1 + Random.Below(3); N > 0; --N)
                B.push_back(Line());
            B.push_back(A[K]);
            break;
        default: // moved far ahead or back
            B.insert(B.begin() + Random.Below(unsigned(B.size()) + 1), A[K]);
            break;
        }
    }
    // A block of unknown lines longer than the look-ahead now and then.
    if (Random.Below(6) == 0) {
        TLines Block;
        for (unsigned K = 0, N = 90 + Random.Below(30); K < N; ++K)
            Block.push_back("new " + std::to_string(K));
        B.insert(B.begin() + Random.Below(unsigned(B.size()) + 1), Block.begin(), Block.end());
    }
    return {A, B};
}

// Every line of each file is reported exactly once, in file order, as its
// own kind or as common; and the report is the plain walk's.
TEST(WalkProperty, EveryLineOnceInOrderAsThePlainWalkReportsIt) {
    const auto Folder = MakeTestFolder();
    const std::string Name1 = (Folder / "one.txt").string();
    const std::string Name2 = (Folder / "two.txt").string();
    for (std::uint64_t Seed = 1; Seed <= 400; ++Seed) {
        SCOPED_TRACE("seed " + std::to_string(Seed));
        TRandom Random(Seed);
        const auto [A, B] = RandomPair(Random);
        WriteBytes(Name1, JoinLines(A));
        WriteBytes(Name2, JoinLines(B));
        const bool OnlyDifferences = Seed % 5 == 0;
        TRecordingSink Sink;
        CompareFiles(Name1, Name2, Sink, OnlyDifferences, false);

        TLines Seen1, Seen2;
        std::vector<TReportLine> Report;
        for (const auto &Line : Sink.Lines) {
            ASSERT_EQ(Line.Prefix, Line.Kind == TLineKind::OnlyInFirst    ? "one.txt   "
                                   : Line.Kind == TLineKind::OnlyInSecond ? "two.txt   "
                                                                          : "          ");
            ASSERT_NE(Line.Kind, TLineKind::Separator);
            if (Line.Kind != TLineKind::OnlyInSecond)
                Seen1.push_back(Line.Text);
            if (Line.Kind != TLineKind::OnlyInFirst)
                Seen2.push_back(Line.Text);
            Report.push_back({Line.Kind, Line.Text});
        }
        std::vector<TReportLine> Expected = ReferenceWalk(A, B);
        if (OnlyDifferences) {
            std::erase_if(Expected,
                          [](const TReportLine &L) { return L.Kind == TLineKind::Common; });
        } else {
            ASSERT_EQ(Seen1, A);
            ASSERT_EQ(Seen2, B);
        }
        ASSERT_EQ(Report, Expected);
    }
}

} // namespace
