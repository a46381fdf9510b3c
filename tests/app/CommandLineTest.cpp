#include "CommandLine.h"

#include <fcntl.h>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
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

// Only Qt's own options, with their values, go to Qt; "--" ends the options,
// so a name that starts with "-" reaches the program whole. Names are the
// bytes given, also when they are not UTF-8.
TEST(CommandLine, QtGetsOnlyItsOwnOptionsAndNamesStayAsGiven) {
    const struct {
        TArguments Arguments;
        TArguments Files;
        std::string Configuration;
        TArguments Toolkit;
    } cases[] = {
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

} // namespace

namespace {

struct TRun {
    int Status = -1; // the exit status; 128 + the signal for a killed program
    std::string Out;
    std::string Err;
};

std::string ReadAll(const std::string &Path) {
    std::ifstream file(Path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// Runs the program with Arguments and no display of any kind; its standard
// output goes to OutPath (a file, or /dev/full).
TRun RunWithoutDisplay(const TArguments &Arguments, const std::string &OutPath) {
    const std::string folder = testing::TempDir(), errPath = folder + "/stderr.txt";
    const std::string program = TARNWELL_BIN_DIR "/tarnwell";
    const pid_t child = fork();
    if (child == 0) {
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            unsetenv(name);
        const int out = open(OutPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(out, STDOUT_FILENO);
        dup2(err, STDERR_FILENO);
        std::vector<char *> argv{const_cast<char *>(program.c_str())};
        for (const std::string &argument : Arguments)
            argv.push_back(const_cast<char *>(argument.c_str()));
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    int status = 0;
    waitpid(child, &status, 0);
    TRun run;
    run.Status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    run.Out = OutPath == "/dev/full" ? "" : ReadAll(OutPath);
    run.Err = ReadAll(errPath);
    return run;
}

// --help, --version and a faulty line need no display; a text that cannot
// be written whole fails as tarnwell-compare's does.
TEST(Program, AnswersWithoutADisplayAndFailsWhenItCannotWrite) {
    const std::string out = testing::TempDir() + "/stdout.txt";
    const struct {
        TArguments Arguments;
        std::string Output;
        int Status;
        std::string Starts; // of the standard output, or else of the standard error
    } cases[] = {
        {{"--help"}, out, 0, "Usage: tarnwell "},
        {{"-h"}, out, 0, "Usage: tarnwell "},
        {{"--version"}, out, 0, "tarnwell 1."},
        {{"--bogus"}, out, 2, "tarnwell: Unknown option 'bogus'.\nTry 'tarnwell --help'."},
        {{"one", "two"}, out, 2, "tarnwell: more than one configuration name: 'two'"},
        {{"--help"}, "/dev/full", 2, "tarnwell: write error: No space left on device"},
        {{"--version"}, "/dev/full", 2, "tarnwell: write error: No space left on device"},
    };
    for (const auto &[arguments, output, status, starts] : cases) {
        const TRun run = RunWithoutDisplay(arguments, output);
        EXPECT_EQ(run.Status, status) << arguments[0] << " > " << output;
        EXPECT_EQ((status == 0 ? run.Out : run.Err).substr(0, starts.size()), starts)
            << arguments[0] << " > " << output;
    }
}

} // namespace
