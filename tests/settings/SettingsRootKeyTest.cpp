#include "SettingsRootKey.h"

#include <gtest/gtest.h>

TEST(SettingsRootKey, TakesTheFileNamePartOfTheArgument) {
    const std::string others = "Brackwater Software\\Tarnwells\\Others\\";
    std::string accented; // two bytes a character: the cut must fall between them
    for (int i = 0; i < 300; ++i)
        accented += "\xC3\xA9";
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"tarnwell"}, "Brackwater Software\\Tarnwells"},
        {{"tarnwell", ""}, "Brackwater Software\\Tarnwells"},
        {{"tarnwell", "Daily"}, others + "Daily"},
        {{"tarnwell", "C:\\Setups\\Daily"}, others + "Daily"},
        {{"tarnwell", "D:Weekly"}, others + "Weekly"},
        {{"tarnwell", "/home/me/Daily"}, others + "Daily"},
        {{"tarnwell", "C:\\Setups\\"}, others},
        {{"tarnwell", "Daily", "ignored"}, others + "Daily"},
        {{"tarnwell", std::string(300, 'a')}, others + std::string(255, 'a')},
        {{"tarnwell", accented}, others + accented.substr(0, 510)},
    };
    for (const auto &[arguments, expected] : cases)
        EXPECT_EQ(SettingsRootKey(arguments, 1), expected) << arguments.back().substr(0, 20);
    EXPECT_EQ(SettingsRootKey({"tarnwell", "One", "Two"}, 2), others + "Two");
}
