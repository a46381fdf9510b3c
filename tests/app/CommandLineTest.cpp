#include "CommandLine.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using TArguments = std::vector<std::string>;

TEST(CommandLine, ConfigurationIsTheFirstArgumentThatIsNoOption) {
    const TCommandLine line = ParseCommandLine({"t", "--compare", "a", "b", "work"});
    EXPECT_EQ(line.Files, (TArguments{"a", "b"}));
    EXPECT_EQ(line.Configuration, "work");
    EXPECT_TRUE(line.Error.empty());
}

// The desktop entry's "--compare %F" with no file selected: a plain start.
TEST(CommandLine, CompareWithoutFilesIsAPlainStart) {
    const TCommandLine line = ParseCommandLine({"t", "--compare"});
    EXPECT_TRUE(line.Error.empty());
    EXPECT_TRUE(line.Files.empty());
}

// Each fault is named; the first one is kept.
TEST(CommandLine, ALineThatCannotBeUsedSaysWhy) {
    const std::pair<TArguments, std::string> cases[] = {
        {{"t", "--compare", "a", "--compare", "b"}, "--compare given twice"},
        {{"t", "--x"}, "unknown option '--x'"},
        {{"t", "--x", "--y"}, "unknown option '--x'"},
        {{"t", "a", "b"}, "more than one configuration name: 'b'"}};
    for (const auto &[arguments, error] : cases)
        EXPECT_EQ(ParseCommandLine(arguments).Error, error) << arguments[1];
}

// --help is seen after an argument the toolkit would have taken.
TEST(CommandLine, HelpIsSeenAfterAFaultyArgument) {
    EXPECT_TRUE(ParseCommandLine({"t", "--x", "--help"}).Help);
}

} // namespace
