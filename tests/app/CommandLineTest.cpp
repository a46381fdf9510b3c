#include "CommandLine.h"

#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace {

using TArguments = std::vector<std::string>;

// Each fault is named; the first one is kept.
TEST(CommandLine, ALineThatCannotBeUsedSaysWhy) {
    const std::pair<TArguments, std::string> cases[] = {
        {{"t", "--compare", "a", "--compare", "b"}, "--compare given twice"},
        {{"t", "--x"}, "Unknown option 'x'."},
        {{"t", "--x", "-y"}, "Unknown options: x, y."},
        {{"t", "-style"}, "Missing value after '-style'."},
        {{"t", "a", "b"}, "more than one configuration name: 'b'"}};
    for (const auto &[arguments, error] : cases)
        EXPECT_EQ(ParseCommandLine(arguments).Error, error) << arguments[1];
}

// --help is seen after an argument the toolkit would have taken.
TEST(CommandLine, HelpIsSeenAfterAFaultyArgument) {
    EXPECT_TRUE(ParseCommandLine({"t", "--x", "--help"}).Help);
}

// With --compare the first one or two other arguments are files and a third
// the configuration; "--compare" alone (the desktop entry's "--compare %F"
// with nothing selected) is a plain start. Only Qt's own options, with
// their values, go to Qt; "--" ends the options, so a name that starts with
// "-" reaches the program whole. Names are the bytes given, also when they
// are not UTF-8.
TEST(CommandLine, FilesConfigurationAndQtsOwnOptions) {
    const struct {
        TArguments Arguments;
        TArguments Files;
        std::string Configuration;
        TArguments Toolkit;
    } cases[] = {
        {{"t", "--compare", "a", "b", "work"}, {"a", "b"}, "work", {}},
        {{"t", "--compare"}, {}, "", {}},
        {{"t", "--compare", "a", "-reverse", "b"}, {"a", "b"}, "", {"-reverse"}},
        {{"t", "-style", "fusion", "--compare", "--", "-reverse", "--x.txt"},
         {"-reverse", "--x.txt"},
         "",
         {"-style", "fusion"}},
        {{"t", "--", "--compare"}, {}, "--compare", {}},
        {{"t", "Daily", "--platform", "offscreen", "-reverse"},
         {},
         "Daily",
         {"-platform", "offscreen", "-reverse"}},
        {{"t", "--compare", "bad\xff.txt", "\xc3", "x\xfe"}, {"bad\xff.txt", "\xc3"}, "x\xfe", {}},
    };
    for (const auto &[arguments, files, configuration, toolkit] : cases) {
        const TCommandLine line = ParseCommandLine(arguments);
        EXPECT_EQ(line.Error, "") << arguments[1];
        EXPECT_EQ(line.Files, files) << arguments[1];
        EXPECT_EQ(line.Configuration, configuration) << arguments[1];
        EXPECT_EQ(line.ToolkitArguments, toolkit) << arguments[1];
    }
}

// --help, --version and a faulty line need no display; a text that cannot
// be written whole fails as tarnwell-compare's does.
TEST(Program, AnswersWithoutADisplayAndFailsWhenItCannotWrite) {
    const std::string err = testing::TempDir() + "/err.txt";
    const std::tuple<const char *, const char *, int, std::string> cases[] = {
        {"--help", "/dev/null", 0, ""},
        {"-h", "/dev/null", 0, ""},
        {"--version", "/dev/null", 0, ""},
        {"--bogus", "/dev/null", 2, "tarnwell: Unknown option 'bogus'.\nTry 'tarnwell --help'.\n"},
        {"one two", "/dev/null", 2,
         "tarnwell: more than one configuration name: 'two'\nTry 'tarnwell --help'.\n"},
        {"--help", "/dev/full", 2, "tarnwell: write error: No space left on device\n"},
        {"--version", "/dev/full", 2, "tarnwell: write error: No space left on device\n"}};
    for (const auto &[arguments, out, status, said] : cases) {
        const std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " +
                                    std::string(TARNWELL_BIN_DIR) + "/tarnwell " + arguments +
                                    " >" + out + " 2>" + err;
        const int result = std::system(command.c_str());
        EXPECT_EQ(WIFEXITED(result) ? WEXITSTATUS(result) : 128 + WTERMSIG(result), status)
            << arguments << " > " << out;
        std::ifstream file(err);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(file), {}), said) << arguments;
    }
}

} // namespace
