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

} // namespace
