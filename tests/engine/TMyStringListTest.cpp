#include "TMyStringList.h"
#include "EngineTestSupport.h"

#include <cstring>
#include <gtest/gtest.h>
#include <unordered_map>

namespace {

// Replacing or removing a line would put its key out of step.
template <class T>
concept CanReplaceLines = requires(T &Store) {
    Store.Put(0, nullptr);
    Store.Delete(0);
};
static_assert(!CanReplaceLines<TMyStringList> && !CanReplaceLines<const TMyStringList>);

// Two different texts with the same key, found by trying variants.
std::pair<std::string, std::string> CollidingTexts(const std::string &Stem) {
    std::unordered_map<std::uint32_t, std::string> Seen;
    for (int K = 0;; ++K) {
        std::string Text = Stem + std::to_string(100000 + K);
        const auto [It, Added] = Seen.emplace(TMyStringList::KeyOf(Text.data(), Text.size()), Text);
        if (!Added)
            return {It->second, Text};
    }
}

TEST(LineIndex, TellsApartTextsWhoseKeysAgree) {
    for (const std::string &Stem : {std::string("key "), std::string(70000, 'k')}) {
        const auto [A, B] = CollidingTexts(Stem);
        TMyStringList Store;
        LoadBytes(Store, A + "\n" + B + "\n");
        ASSERT_EQ(Store.LineKey(0), Store.LineKey(1));
        EXPECT_EQ(Store.LineIndex(B.c_str(), 0, 0), 1);
        EXPECT_EQ(Store.LineIndex(A.c_str(), 1, 0), -1);
        EXPECT_EQ(Store.TextLength(1), B.size());
    }
}

// Folding, written out plainly: A to Z as a to z, blanks left out.
std::string ReferenceFold(const std::string &Text, bool IgnoreCase, bool IgnoreWhiteSpace) {
    std::string Folded;
    for (const char C : Text)
        if (!IgnoreWhiteSpace || std::string_view(" \t\f\v").find(C) == std::string_view::npos)
            Folded += IgnoreCase && C >= 'A' && C <= 'Z' ? char(C + 32) : C;
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
        const bool IgnoreCase = K % 3 != 1, IgnoreWhiteSpace = K % 3 != 0;
        const TLineFolding Folding(
            {.IgnoreCase = IgnoreCase, .IgnoreWhiteSpace = IgnoreWhiteSpace});
        const std::string A = Text(), B = K % 2 ? Text() : ReferenceFold(A, IgnoreCase, false);
        std::string Out(A.size() + 16, '\0');
        Out.resize(Folding.Fold(A.data(), A.size(), Out.data()));
        ASSERT_EQ(Out, ReferenceFold(A, IgnoreCase, IgnoreWhiteSpace)) << testing::PrintToString(A);
        ASSERT_EQ(Folding.Same(A.c_str(), B.c_str()),
                  Out == ReferenceFold(B, IgnoreCase, IgnoreWhiteSpace));
    }
}

} // namespace
