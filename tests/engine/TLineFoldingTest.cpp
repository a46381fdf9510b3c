#include "TLineFolding.h"
#include "EngineTestSupport.h"

#include <cstring>
#include <gtest/gtest.h>

namespace {

// Folding, written out plainly: A to Z as a to z, blanks left out.
std::string ReferenceFold(const std::string &Text, TLineFolding::TIgnored Ignored) {
    std::string Folded;
    for (const char C : Text)
        if (!Ignored.IgnoreWhiteSpace ||
            std::string_view(" \t\f\v").find(C) == std::string_view::npos)
            Folded += Ignored.IgnoreCase && C >= 'A' && C <= 'Z' ? char(C + 32) : C;
    return Folded;
}

TEST(TLineFolding, FoldsAndComparesAsThePlainRulesDo) {
    TRandom Random(7);
    const std::string Alphabet = "aAzZ@[`{ \t\f\v\n\x80\xc3\x89x";
    auto Text = [&] {
        std::string T(Random.Below(70), ' ');
        for (char &C : T)
            C = Alphabet[Random.Below(unsigned(Alphabet.size()))];
        return T;
    };
    for (int K = 0; K < 3000; ++K) {
        const TLineFolding::TIgnored Ignored = {.IgnoreCase = K % 3 != 1,
                                                .IgnoreWhiteSpace = K % 3 != 0};
        const TLineFolding Folding(Ignored);
        // Half the time B is A with only its case folded.
        const std::string A = Text(),
                          B = K % 2 ? Text() : ReferenceFold(A, {.IgnoreCase = Ignored.IgnoreCase});
        std::string Out(A.size() + 16, '\0');
        Out.resize(Folding.Fold(A.data(), A.size(), Out.data()));
        ASSERT_EQ(Out, ReferenceFold(A, Ignored)) << testing::PrintToString(A);
        ASSERT_EQ(Folding.Same(A.c_str(), B.c_str()), Out == ReferenceFold(B, Ignored));
    }
}

// The patterns see the text as read; big numbers, case and white space
// fold what they leave. Each row's result differs when the order does.
TEST(TLineFolding, PatternsComeBeforeTheOtherFoldings) {
    // Twin folds as Text does.
    const struct {
        const char *Pattern;
        TLineFolding::TIgnored Ignored;
        const char *Text, *Folded, *Twin;
    } Rows[] = {
        {"^[0-9]{3}", {.IgnoreBigNumbers = true}, "1234567 x", "4567 x", "9994567 x"},
        {"z", {.IgnoreBigNumbers = true}, "12z34567", "999999", "999999"},
        {"abc", {.IgnoreCase = true}, "ABC abc", "abc ", "Abc "},
        {"a b", {.IgnoreWhiteSpace = true}, "a b|a  b", "|ab", "|ab"},
    };
    for (const auto &Row : Rows) {
        TTextFilter Filter;
        ASSERT_FALSE(Filter.Compile({Row.Pattern}));
        const TLineFolding Folding(Row.Ignored, Filter);
        std::string Folded;
        EXPECT_EQ(Folding.Fold(Row.Text, std::strlen(Row.Text), Folded), Row.Folded) << Row.Text;
        EXPECT_TRUE(Folding.Same(Row.Text, Row.Twin)) << Row.Text;
        EXPECT_FALSE(Folding.Same(Row.Text, "other")) << Row.Text;
    }
}

} // namespace
