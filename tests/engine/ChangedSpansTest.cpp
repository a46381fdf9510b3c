#include "ChangedSpans.h"
#include "EngineTestSupport.h"
#include "TChangeMarker.h"

#include <gtest/gtest.h>

namespace {

// A line with its marks in brackets ("return [x] + 1;"): the text without
// them, and the spans they enclose.
std::pair<std::string, std::vector<TSpan>> Unbracket(std::string_view Marked) {
    std::string Text;
    std::vector<TSpan> Spans;
    for (const char C : Marked) {
        if (C == '[')
            Spans.push_back({Text.size(), 0});
        else if (C == ']')
            Spans.back().Length = Text.size() - Spans.back().Start;
        else
            Text += C;
    }
    return {Text, Spans};
}

struct TMarkCase {
    const char *Name;
    std::string First, Second; // with their marks in brackets
};

class MarkChangesTest : public testing::TestWithParam<TMarkCase> {};

TEST_P(MarkChangesTest, MarksTheTokensOutsideACommonSubsequence) {
    const auto [First, FirstSpans] = Unbracket(GetParam().First);
    const auto [Second, SecondSpans] = Unbracket(GetParam().Second);
    const TPairMarks Marks = MarkChanges(First, Second);
    EXPECT_EQ(Marks.First, FirstSpans);
    EXPECT_EQ(Marks.Second, SecondSpans);
}

const std::string Long(10001, 'x'); // past MarkedLineLimit

INSTANTIATE_TEST_SUITE_P(
    Pairs, MarkChangesTest,
    testing::Values(
        TMarkCase{"OneWord", "return [x] + 1;", "return [y] + 1;"},
        TMarkCase{"Identical", "same line", "same line"},
        TMarkCase{"InsertedTokensJoinIntoOneSpan", "call(a, b)", "call(a, [x, ]b)"},
        TMarkCase{"DeletedAtTheEnd", "f(a)[ + 1]", "f(a)"},
        TMarkCase{"WhiteSpaceIsAToken", "a[  ]b", "a[ ]b"},
        TMarkCase{"WordsRunOverDigitsUnderscoresAndUtf8",
                  "[gr\xC3\xB6\xC3\x9F"
                  "e_2] = 1",
                  "[gr\xC3\xB6sse_2] = 1"},
        TMarkCase{"PunctuationIsOneByteEach", "a[+]b", "a[-]b"},
        TMarkCase{"OnlyWhiteSpaceInCommon", "alpha beta", "gamma delta"},
        TMarkCase{"AnEmptyLine", "", "something"},
        TMarkCase{"LongLinesBetweenPrefixAndSuffix", Long + "[a]" + Long, Long + "[bc]" + Long},
        // The common prefix ends inside a character: the mark takes it whole.
        TMarkCase{"LongLinesWholeCharacters", Long + "[\xC3\xA9]z", Long + "[\xC3\xA8]z"},
        TMarkCase{"LongLineOneSideEmptyBetween", Long + "[ab]" + Long, Long + Long}),
    [](const testing::TestParamInfo<TMarkCase> &Row) { return std::string(Row.param.Name); });

// Lines that differ in many places: the walk gives up and the part between
// the common ends is marked; a pair with no word in common still gets none.
TEST(MarkChanges, VeryDifferentLinesFallBackToTheCommonEnds) {
    std::string A = "start", B = "start";
    for (int K = 0; K < 1500; ++K) {
        A += " a" + std::to_string(K);
        B += " b" + std::to_string(K);
    }
    // "start " before, "1499 end" after: common bytes, not tokens.
    const TPairMarks Marks = MarkChanges(A + " end", B + " end");
    EXPECT_EQ(Marks.First, (std::vector<TSpan>{{6, A.size() - 10}}));
    EXPECT_EQ(Marks.Second, (std::vector<TSpan>{{6, B.size() - 10}}));
    const TPairMarks None = MarkChanges(A.substr(5), B.substr(5));
    EXPECT_TRUE(None.First.empty() && None.Second.empty());
}

// Lines of one-byte tokens: what is left unmarked of the two lines must be
// one and the same sequence, as long as a longest common subsequence.
TEST(MarkChanges, WhatIsLeftUnmarkedIsALongestCommonSubsequence) {
    TRandom Random(5);
    for (int Round = 0; Round < 2000; ++Round) {
        std::string A, B;
        for (unsigned K = Random.Below(14); K > 0; --K)
            A += "()+-*"[Random.Below(5)];
        for (unsigned K = Random.Below(14); K > 0; --K)
            B += "()+-*"[Random.Below(5)];
        std::vector<std::vector<int>> Lcs(A.size() + 1, std::vector<int>(B.size() + 1, 0));
        for (std::size_t I = 1; I <= A.size(); ++I)
            for (std::size_t J = 1; J <= B.size(); ++J)
                Lcs[I][J] = A[I - 1] == B[J - 1] ? Lcs[I - 1][J - 1] + 1
                                                 : std::max(Lcs[I - 1][J], Lcs[I][J - 1]);
        const TPairMarks Marks = MarkChanges(A, B);
        const auto Unmarked = [](const std::string &Text, const std::vector<TSpan> &Spans) {
            std::string Left;
            std::size_t At = 0;
            for (const TSpan &Span : Spans) {
                EXPECT_GE(Span.Start, At) << "spans out of order or touching";
                Left += Text.substr(At, Span.Start - At);
                At = Span.Start + Span.Length;
            }
            return Left + Text.substr(At);
        };
        const std::string LeftA = Unmarked(A, Marks.First), LeftB = Unmarked(B, Marks.Second);
        if (Lcs[A.size()][B.size()] == 0) {
            EXPECT_TRUE(Marks.First.empty() && Marks.Second.empty()) << A << " / " << B;
            continue;
        }
        EXPECT_EQ(LeftA, LeftB) << A << " / " << B;
        EXPECT_EQ(int(LeftA.size()), Lcs[A.size()][B.size()]) << A << " / " << B;
    }
}

struct TPairCase {
    const char *Name;
    std::vector<std::string_view> First, Second;
    std::vector<std::pair<std::size_t, std::size_t>> Pairs;
};

class PairBlockLinesTest : public testing::TestWithParam<TPairCase> {};

TEST_P(PairBlockLinesTest, PairsInFileOrder) {
    EXPECT_EQ(PairBlockLines(GetParam().First, GetParam().Second), GetParam().Pairs);
}

const TPairCase PairCases[] = {
    {"EqualCountsPairInOrderAlikeOrNot", {"a = 1", "b"}, {"zzz", "a = 2"}, {{0, 0}, {1, 1}}},
    {"AnAddedLineIsPassedOver", {"int x = 1;"}, {"// new", "int x = 2;"}, {{0, 1}}},
    {"ARemovedLineIsPassedOver", {"foo(1);", "bar(2, 3);"}, {"bar(2, 4);"}, {{1, 0}}},
    {"NothingAlikeNothingPaired", {"aaa"}, {"bbb", "ccc"}, {}},
    {"OneSideOnly", {}, {"x", "y"}, {}},
    // Both "y" lines resemble; "x = 1" pairs later in the other file but
    // cannot cross the pair before it.
    {"NeverAcrossTheOrder", {"x = 1", "y = 2 + k"}, {"y = 3 + k", "q", "x = 4"}, {{1, 0}}}};

INSTANTIATE_TEST_SUITE_P(Blocks, PairBlockLinesTest, testing::ValuesIn(PairCases),
                         [](const auto &Row) { return std::string(Row.param.Name); });

TEST(PairBlockLines, PastTheLimitLinesPairInOrder) {
    std::vector<std::string_view> Many(SimilarityBlockLimit + 1, "text");
    EXPECT_EQ(PairBlockLines(Many, {"other", "text"}),
              (std::vector<std::pair<std::size_t, std::size_t>>{{0, 0}, {1, 1}}));
}

// A line of source-like text from a few words, so lines often resemble.
std::string RandomLine(TRandom &Random) {
    static const char *const Words[] = {"x", "y", "count", "=", "+", "(", ")", ";", " ", "  "};
    std::string Line;
    for (unsigned K = Random.Below(8); K > 0; --K)
        Line += Words[Random.Below(10)];
    return Line;
}

// The marker hands out, line by line as the report comes, the marks that
// marking each whole block at once gives; lines of other kinds end blocks.
TEST(ChangeMarker, HandsOutTheMarksOfWholeBlocks) {
    TRandom Random(17);
    std::vector<TLineKind> Kinds;
    std::vector<std::string> Texts;
    for (int Block = 0; Block < 300; ++Block) {
        // Now and then a block past the limit, on one side or both.
        const unsigned Big = Random.Below(30) == 0 ? SimilarityBlockLimit : 0;
        const unsigned N = Random.Below(5) + (Random.Below(2) ? Big : 0), M = Random.Below(5);
        for (unsigned K = 0; K < N + M; ++K) {
            Kinds.push_back(Random.Below(N + M) < N ? TLineKind::OnlyInFirst
                                                    : TLineKind::OnlyInSecond);
            Texts.push_back(RandomLine(Random));
        }
        Kinds.push_back(Random.Below(4) ? TLineKind::Common : TLineKind::Separator);
        Texts.push_back("common");
    }
    std::vector<std::vector<TSpan>> Expected(Texts.size());
    for (std::size_t Start = 0; Start < Texts.size();) {
        std::size_t End = Start;
        while (Kinds[End] == TLineKind::OnlyInFirst || Kinds[End] == TLineKind::OnlyInSecond)
            ++End;
        const std::vector<std::string_view> Block(Texts.begin() + long(Start),
                                                  Texts.begin() + long(End));
        const auto Spans =
            MarkBlock({Kinds.begin() + long(Start), Kinds.begin() + long(End)}, Block);
        std::copy(Spans.begin(), Spans.end(), Expected.begin() + long(Start));
        Start = End + 1;
    }
    std::vector<std::vector<TSpan>> Handed(Texts.size());
    std::size_t Marked = 0;
    TChangeMarker Marker([&](std::size_t Line, std::string_view Text, const auto &Spans) {
        EXPECT_EQ(Text, Texts[Line]);
        EXPECT_TRUE(Handed[Line].empty()) << "line " << Line << " marked twice";
        Handed[Line] = Spans;
        ++Marked;
    });
    for (std::size_t K = 0; K < Texts.size(); ++K)
        Marker.Add(Kinds[K], Texts[K]);
    Marker.End();
    EXPECT_EQ(Handed, Expected);
    EXPECT_GT(Marked, 100u);
}

// In a block past the limit a pair's marks come as soon as both its lines
// are there; a reset forgets the open block and numbers lines from 0.
TEST(ChangeMarker, LongBlocksMarkEarlyAndResetForgets) {
    std::vector<std::size_t> Lines;
    TChangeMarker Marker(
        [&](std::size_t Line, std::string_view, const auto &) { Lines.push_back(Line); });
    Marker.Add(TLineKind::OnlyInFirst, "a = 1");
    Marker.Add(TLineKind::OnlyInSecond, "a = 2");
    Marker.Reset();
    for (std::size_t K = 0; K <= SimilarityBlockLimit; ++K)
        Marker.Add(TLineKind::OnlyInFirst, "v = " + std::to_string(K));
    EXPECT_TRUE(Lines.empty());
    Marker.Add(TLineKind::OnlyInSecond, "v = x");
    EXPECT_EQ(Lines, (std::vector<std::size_t>{0, SimilarityBlockLimit + 1}));
}

} // namespace
