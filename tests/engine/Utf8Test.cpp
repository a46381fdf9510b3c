#include "Utf8.h"

#include <gtest/gtest.h>

namespace {

// Counting and validity agree on where a sequence is valid, also past the
// eight-byte ASCII steps. Each byte outside a valid sequence counts as one.
TEST(Utf8, CountsCharactersAndTellsValidity) {
    const struct {
        std::string_view Bytes;
        std::size_t Characters;
        bool Valid;
    } Cases[] = {{"", 0, true},
                 {"sixteen ascii by", 16, true},
                 {"12345678\xC3\xA9", 9, true},
                 {"1234567\xC3\xA9", 8, true},
                 {"\xE2\x82\xAC\xF0\x9F\x98\x80\xF4\x8F\xBF\xBF", 3, true},
                 {"12345678\xC3", 9, false},                // cut short
                 {"\xE2\x82\xAC\xE2\x82", 3, false},        // cut short after one
                 {"\xC0\xAF\xE0\x80\xAF", 5, false},        // overlong
                 {"\xED\xA0\x80", 3, false},                // a surrogate
                 {"\xF4\x90\x80\x80", 4, false},            // above U+10FFFF
                 {"\x80z\xC3(\xF5\x80\x80\x80", 8, false}}; // strays, a bad follower
    for (const auto &[Bytes, Characters, Valid] : Cases) {
        SCOPED_TRACE(testing::PrintToString(std::string(Bytes)));
        EXPECT_EQ(CharacterCount(Bytes), Characters);
        EXPECT_EQ(Utf8Length(Bytes), Valid ? std::optional(Characters) : std::nullopt);
    }
}

} // namespace
