#include "SettingsRootKey.h"

#include <gtest/gtest.h>

namespace {

const std::string Others = "Brackwater Software\\Tarnwells\\Others\\";

} // namespace

TEST(SettingsRootKey, TakesTheFileNamePartOfTheArgument) {
    struct Case {
        std::vector<std::string> Arguments;
        std::string Expected;
    };
    const std::vector<Case> cases = {
        {{"tarnwell"}, "Brackwater Software\\Tarnwells"},
        {{"tarnwell", ""}, "Brackwater Software\\Tarnwells"},
        {{"tarnwell", "Daily"}, Others + "Daily"},
        {{"tarnwell", "C:\\Setups\\Daily"}, Others + "Daily"},
        {{"tarnwell", "D:Weekly"}, Others + "Weekly"},
        {{"tarnwell", "/home/me/Daily"}, Others + "Daily"},
        {{"tarnwell", "C:\\Setups\\"}, Others},
        {{"tarnwell", "mixed/dir\\and:Name"}, Others + "Name"},
        {{"tarnwell", "Daily", "ignored"}, Others + "Daily"},
        {{"tarnwell", "Caf\xC3\xA9"}, Others + "Caf\xC3\xA9"},
        {{}, "Brackwater Software\\Tarnwells"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(SettingsRootKey(c.Arguments, 1), c.Expected)
            << (c.Arguments.size() > 1 ? c.Arguments[1] : "(none)");
}

TEST(SettingsRootKey, KeepsAtMost255Characters) {
    const std::string ascii(300, 'a');
    EXPECT_EQ(SettingsRootKey({"p", ascii}, 1), Others + std::string(255, 'a'));

    // Two bytes a character: the cut falls between characters, not inside one.
    std::string accented;
    for (int i = 0; i < 300; ++i)
        accented += "\xC3\xA9";
    EXPECT_EQ(SettingsRootKey({"p", accented}, 1), Others + accented.substr(0, 510));
}

TEST(SettingsRootKey, UsesTheArgumentAtTheIndexGiven) {
    EXPECT_EQ(SettingsRootKey({"p", "One", "Two"}, 2), Others + "Two");
    EXPECT_EQ(SettingsRootKey({"p", "One"}, 2), "Brackwater Software\\Tarnwells");
}
