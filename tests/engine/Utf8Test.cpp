#include "Utf8.h"

#include <gtest/gtest.h>

namespace {

struct TUtf8Case {
    std::string_view Bytes;
    std::size_t Characters; // each byte outside a valid sequence counts as one
    bool Valid;
};

void PrintTo(const TUtf8Case &Case, std::ostream *Out) {
    *Out << testing::PrintToString(std::string(Case.Bytes));
}

class Utf8Test : public testing::TestWithParam<TUtf8Case> {};

// Counting and validity agree on where a sequence is valid, also past the
// eight-byte ASCII steps.
TEST_P(Utf8Test, CountsCharactersAndTellsValidity) {
    const TUtf8Case &Case = GetParam();
    EXPECT_EQ(CharacterCount(Case.Bytes), Case.Characters);
    EXPECT_EQ(Utf8Length(Case.Bytes), Case.Valid ? std::optional(Case.Characters) : std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(
    Utf8, Utf8Test,
    testing::Values(TUtf8Case{"", 0, true}, TUtf8Case{"sixteen ascii by", 16, true},
                    TUtf8Case{"12345678\xC3\xA9", 9, true}, TUtf8Case{"1234567\xC3\xA9", 8, true},
                    TUtf8Case{"\xE2\x82\xAC\xF0\x9F\x98\x80\xF4\x8F\xBF\xBF", 3, true},
                    TUtf8Case{"12345678\xC3", 9, false},                 // cut short
                    TUtf8Case{"\xE2\x82\xAC\xE2\x82", 3, false},         // cut short after one
                    TUtf8Case{"\xC0\xAF\xE0\x80\xAF", 5, false},         // overlong
                    TUtf8Case{"\xED\xA0\x80", 3, false},                 // a surrogate
                    TUtf8Case{"\xF4\x90\x80\x80", 4, false},             // above U+10FFFF
                    TUtf8Case{"\x80z\xC3(\xF5\x80\x80\x80", 8, false})); // strays, a bad follower

} // namespace
