#include "TLineFolding.h"
#include "EngineTestSupport.h"

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

} // namespace
