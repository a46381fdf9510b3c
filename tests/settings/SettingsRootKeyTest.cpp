#include "SettingsRootKey.h"

#include <gtest/gtest.h>

// The configuration named by the argument is the file-name part of it, cut
// to 255 characters (between the bytes of one, never inside).
TEST(SettingsRootKey, TakesTheFileNamePartOfTheArgument) {
    const std::string others = "Brackwater Software\\Tarnwells\\Others\\";
    std::string accented; // two bytes a character
    for (int i = 0; i < 300; ++i)
        accented += "\xC3\xA9";
    const std::string arguments[] = {"Daily",          "C:\\Setups\\Daily", "D:Weekly",
                                     "/home/me/Daily", "C:\\Setups\\",      std::string(300, 'a'),
                                     accented};
    const std::string keys[] = {
        "Daily", "Daily", "Weekly", "Daily", "", std::string(255, 'a'), accented.substr(0, 510)};
    for (std::size_t i = 0; i < std::size(arguments); ++i)
        EXPECT_EQ(SettingsRootKey({"tarnwell", arguments[i], "ignored"}, 1), others + keys[i]) << i;
    EXPECT_EQ(SettingsRootKey({"tarnwell"}, 1), "Brackwater Software\\Tarnwells");
    EXPECT_EQ(SettingsRootKey({"tarnwell", ""}, 1), "Brackwater Software\\Tarnwells");
    EXPECT_EQ(SettingsRootKey({"tarnwell", "One", "Two"}, 2), others + "Two");
}
