#include "TTextFilter.h"

#include <gtest/gtest.h>

namespace {

struct TStripCase {
    std::vector<std::string> Patterns;
    std::string Text, Stripped;
};

TEST(TTextFilter, RemovesEveryMatchOfEachPatternInTurn) {
    const TStripCase Cases[] = {
        {{"[0-9]{2}:[0-9]{2}:[0-9]{2}(\\.[0-9]+)?"},
         "at 10:00:01.25 and 23:59:59 end",
         "at  and  end"},
        {{"0x[0-9a-f]+"}, "a 0x1f b 0xdead", "a  b "},
        // Empty matches remove nothing, and the search still moves on.
        {{"x*"}, "axxbx", "ab"},
        {{"a|"}, "banana", "bnn"},
        {{"(?=b)"}, "abc", "abc"},
        {{"|b"}, "abba", "aa"},
        // The second pattern sees what the first left.
        {{"b", "ac"}, "abc", ""},
        {{"ac", "b"}, "abc", "ac"},
        // Non-overlapping, left to right.
        {{"aa"}, "aaaaa", "a"},
        // UTF-8 is read as characters; invalid bytes are tolerated.
        {{"\\x{e9}."}, "caf\xc3\xa9s!", "caf!"},
        {{"[0-9]+"},
         "\xff\xfe"
         "12 \xc3",
         "\xff\xfe \xc3"},
        // A zero byte is text like any other.
        {{"b"}, std::string("a\0b\0c", 5), std::string("a\0\0c", 4)},
    };
    for (const TStripCase &Case : Cases) {
        TTextFilter Filter;
        ASSERT_FALSE(Filter.Compile(Case.Patterns)) << Case.Patterns[0];
        std::string Out = "left over";
        EXPECT_TRUE(Filter.Strip(Case.Text, Out));
        EXPECT_EQ(Out, Case.Stripped) << Case.Patterns[0] << " on " << Case.Text;
    }
}

TEST(TTextFilter, APatternThatDoesNotCompileSaysWhereAndRemovesNothing) {
    TTextFilter Filter;
    const auto Error = Filter.Compile({"[0-9]", "ab(c", "x"});
    ASSERT_TRUE(Error);
    EXPECT_EQ(Error->Text(), "invalid pattern 'ab(c': missing closing parenthesis at offset 4");
    EXPECT_FALSE(Filter.Active());
    // A long pattern is no trouble.
    std::string Long;
    for (int K = 0; K < 2000; ++K)
        Long += "ab|c";
    Long.resize(10000);
    EXPECT_FALSE(TTextFilter::Check({Long}));
}

// Catastrophic backtracking is cut short by the match limit: the line keeps
// its text and says so.
TEST(TTextFilter, AMatchThatRunsAwayLeavesTheLineWhole) {
    TTextFilter Filter;
    ASSERT_FALSE(Filter.Compile({"(a+)+$"}));
    const std::string Line = std::string(40, 'a') + "b";
    std::string Out;
    EXPECT_FALSE(Filter.Strip(Line, Out));
    EXPECT_EQ(Out, Line);
}

} // namespace
