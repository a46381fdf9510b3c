#include "EngineTestSupport.h"
#include "GoldenCases.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

namespace {

struct TResult {
    int Status;
    std::string Out, Err;
};

// Runs the built tool; standard output goes to OutPath (e.g. /dev/full)
// when given, else to a file read back.
TResult RunTool(const std::vector<std::string> &Args, const std::string &OutPath = "") {
    const auto Folder = MakeTestFolder();
    const std::string Out = OutPath.empty() ? (Folder / "out").string() : OutPath;
    std::string Command = TARNWELL_COMPARE;
    for (const std::string &Arg : Args)
        Command += " '" + Arg + "'";
    const int Status =
        std::system((Command + " >" + Out + " 2>" + Folder.string() + "/err").c_str());
    return {WIFEXITED(Status) ? WEXITSTATUS(Status) : -1, OutPath.empty() ? ReadWholeFile(Out) : "",
            ReadWholeFile(Folder / "err")};
}

// Text without its colours: every "ESC[...m" taken out.
std::string WithoutEscapes(std::string Text) {
    for (std::size_t At; (At = Text.find('\x1b')) != std::string::npos;)
        Text.erase(At, Text.find('m', At) + 1 - At);
    return Text;
}

class GoldenToolTest : public testing::TestWithParam<TGoldenRun> {};

// The golden case through the tool, its options as short flags: the whole
// report, and exit status 1 exactly when some line is only in one file.
TEST_P(GoldenToolTest, PrintsTheReportAndExitsOneOnDifferences) {
    const TGoldenRun &Run = GetParam();
    std::vector<std::string> Args = GoldenToolOptions(Run);
    Args.insert(Args.end(), {Run.First.string(), Run.Second.string()});
    const TResult Result = RunTool(Args);
    std::string Plain = WithoutEscapes(Run.Expected);
    Plain.insert(Plain.begin(), '\n');
    const bool Differs =
        Plain.find("\na.txt") != std::string::npos || Plain.find("\nb.txt") != std::string::npos;
    EXPECT_EQ(Result.Out, Run.Expected);
    EXPECT_EQ(Result.Status, Differs ? 1 : 0);
    EXPECT_EQ(Result.Err, "");
}

INSTANTIATE_TEST_SUITE_P(Golden, GoldenToolTest, testing::ValuesIn(GoldenToolRuns()),
                         GoldenRowName);

// A coloured report is the plain one with escapes added, and only lines
// only in one file have them.
TEST(CompareTool, ColouredGoldenReportsAreThePlainOnesWithEscapes) {
    int Checked = 0;
    for (const TGoldenRun &Run : GoldenToolRuns()) {
        if (Run.Options.find('C') == std::string::npos)
            continue;
        std::string Plain = Run.Options;
        std::erase(Plain, 'C');
        const auto Folder = Run.First.parent_path();
        EXPECT_EQ(
            WithoutEscapes(Run.Expected),
            ReadWholeFile(Folder / ("expected" + (Plain.empty() ? "" : "-" + Plain) + ".txt")))
            << Run.Case << " " << Run.Options;
        for (std::size_t At = 0; At < Run.Expected.size(); At = Run.Expected.find('\n', At) + 1) {
            if (Run.Expected[At] == '\x1b') {
                EXPECT_TRUE(Run.Expected.compare(At, 5, "\x1b[31m") == 0 ||
                            Run.Expected.compare(At, 5, "\x1b[32m") == 0);
            }
        }
        ++Checked;
    }
    EXPECT_GE(Checked, 2);
}

// --color=WHEN as GNU diff takes it: "auto" (also --color alone) colours
// only a terminal whose TERM is not "dumb" while NO_COLOR is unset or
// empty; never is the default.
TEST(CompareTool, ColoursWhenAskedAndOnATerminalThatShowsThem) {
    const auto Folder = MakeTestFolder();
    const std::string A = WriteBytes(Folder / "a", "x = 1\n"),
                      B = WriteBytes(Folder / "b", "x = 2\n");
    struct TCase {
        std::string Option, Environment;
        bool Terminal, Coloured;
    };
    const TCase Cases[] = {
        {"", "TERM=xterm", true, false},
        {"--color", "TERM=xterm", false, false},
        {"--color", "TERM=xterm", true, true},
        {"--color=auto", "TERM=xterm NO_COLOR=", true, true},
        {"--color=auto", "TERM=dumb", true, false},
        {"--color=auto", "TERM=xterm NO_COLOR=1", true, false},
        {"--color=never", "TERM=xterm", true, false},
        {"--color=always", "TERM=dumb NO_COLOR=1", false, true},
    };
    for (const TCase &Case : Cases) {
        const std::string Tool = std::string("env -u NO_COLOR ") + Case.Environment + " " +
                                 TARNWELL_COMPARE + " " + Case.Option + " " + A + " " + B;
        // script(1) gives the tool a terminal.
        const std::string Command = Case.Terminal ? "script -qec '" + Tool + "' /dev/null" : Tool;
        const std::string Out = (Folder / "out").string();
        ASSERT_NE(std::system((Command + " >" + Out + " 2>&1").c_str()), -1);
        const std::string Shown = ReadWholeFile(Out);
        EXPECT_EQ(Shown.find("\x1b[31ma   x = \x1b[7m1\x1b[27m\x1b[m") != std::string::npos,
                  Case.Coloured)
            << Case.Option << " " << Case.Environment << ": " << Shown;
        EXPECT_NE(Shown.find("b   x = "), std::string::npos) << Shown;
    }
}

TEST(CompareTool, LongOptionsActAsTheirLetters) {
    const std::string Notes = TARNWELL_TEST_DATA "/notes/";
    EXPECT_EQ(
        RunTool({"--only-differences", "--ignore-big-numbers", Notes + "a.txt", Notes + "b.txt"})
            .Out,
        ReadWholeFile(Notes + "expected-d.txt"));
    EXPECT_EQ(RunTool({"--line-numbers", Notes + "a.txt", Notes + "b.txt"}).Out,
              ReadWholeFile(Notes + "expected-N.txt"));
}

TEST(CompareTool, AnUnreadableFileComparesAsEmptyButExitsTwo) {
    const auto Folder = MakeTestFolder();
    const std::string Here = WriteBytes(Folder / "here.txt", "1\n2\n3\n4\n5\n");
    const std::string Pipe = (Folder / "pipe").string(), Missing = (Folder / "no").string();
    ASSERT_EQ(mkfifo(Pipe.c_str(), 0600), 0);
    const std::pair<std::string, std::string> Cases[] = {{Missing, "No such file or directory"},
                                                         {Folder.string(), "Is a directory"},
                                                         {Pipe, "Not a regular file"},
                                                         {"/dev/zero", "Not a regular file"},
                                                         {"", "No such file or directory"}};
    for (const auto &[Name, Reason] : Cases) {
        const TResult Result = RunTool({"-d", Here, Name});
        EXPECT_EQ(Result.Status, 2);
        EXPECT_EQ(Result.Err, "tarnwell-compare: cannot read " + Name + ": " + Reason + "\n");
        EXPECT_EQ(std::count(Result.Out.begin(), Result.Out.end(), '\n'), 5) << Result.Out;
    }
    const TResult Both = RunTool({Missing, Missing + "2"});
    EXPECT_EQ(Both.Status, 2);
    EXPECT_EQ(std::count(Both.Err.begin(), Both.Err.end(), '\n'), 2);
}

// Arguments that ask for no comparison: the message, then where help is,
// on standard error; nothing on standard output, and exit status 2.
TEST(CompareTool, BadArgumentsSayWhatIsWrong) {
    const std::string A = WriteBytes(MakeTestFolder() / "a", "x\n");
    const std::pair<std::vector<std::string>, std::string> Cases[] = {
        {{}, "missing operands FILE1 FILE2"},
        {{A}, "missing operand after '" + A + "'"},
        {{A, A, A}, "extra operand '" + A + "'"},
        {{"-x", A, A}, "invalid option -- 'x'"},
        {{"-dq", A, A}, "invalid option -- 'q'"},
        {{A, A, "--bogus"}, "unrecognized option '--bogus'"},
        // Long options are named in full, and only --color takes a value.
        {{"--only", A, A}, "unrecognized option '--only'"},
        {{"--help=x"}, "unrecognized option '--help=x'"},
        {{"--colo=always", A, A}, "unrecognized option '--colo=always'"},
        {{"--color=yes", A, A}, "invalid color 'yes'"},
    };
    for (const auto &[Args, Message] : Cases) {
        const TResult Result = RunTool(Args);
        EXPECT_EQ(Result.Status, 2) << Message;
        EXPECT_EQ(Result.Out, "");
        EXPECT_EQ(Result.Err, "tarnwell-compare: " + Message +
                                  "\nTry 'tarnwell-compare --help' for more information.\n");
    }
}

TEST(CompareTool, HelpAndVersionNeedNoOperands) {
    EXPECT_TRUE(
        RunTool({"--help"}).Out.starts_with("Usage: tarnwell-compare [OPTION]... FILE1 FILE2\n"));
    const TResult Help = RunTool({"-dh"});
    EXPECT_TRUE(Help.Status == 0 && Help.Out.starts_with("Usage: ")) << Help.Out;
    EXPECT_EQ(RunTool({"--version"}).Out, "tarnwell-compare 1.01\n");
}

// "--" ends the options: here both names are "-d".
TEST(CompareTool, DoubleDashEndsTheOptions) {
    const auto Folder = MakeTestFolder();
    WriteBytes(Folder / "-d", "x\n");
    const auto Cwd = std::filesystem::current_path();
    std::filesystem::current_path(Folder);
    EXPECT_EQ(RunTool({"--", "-d", "-d"}).Out, "     x\n");
    std::filesystem::current_path(Cwd);
}

TEST(CompareTool, AFailedWriteExitsTwo) {
    const std::string A = WriteBytes(MakeTestFolder() / "a", "x\n");
    for (const std::vector<std::string> &Args :
         {std::vector<std::string>{A, "/nonexistent"}, {A, A}, {"--version"}}) {
        const TResult Result = RunTool(Args, "/dev/full");
        EXPECT_EQ(Result.Status, 2);
        EXPECT_TRUE(
            Result.Err.ends_with("tarnwell-compare: write error: No space left on device\n"))
            << Result.Err;
    }
}

// Many lines and one longer than the tool's whole output buffer.
TEST(CompareTool, LongOutputPassesThroughTheBufferIntact) {
    std::string Text;
    for (int K = 0; K < 60000; ++K)
        Text += "line " + std::to_string(K) + std::string(K % 37, '+') + "\n";
    Text += std::string(300000, 'w') + "\n";
    const auto Folder = MakeTestFolder();
    const TResult Result =
        RunTool({WriteBytes(Folder / "p/f", Text), WriteBytes(Folder / "q/f", Text)});
    std::string Expected = "     " + Text;
    for (std::size_t At = Expected.find('\n'); At + 1 < Expected.size();
         At = Expected.find('\n', At + 1))
        Expected.insert(At + 1, "     ");
    EXPECT_EQ(Result.Status, 0);
    EXPECT_TRUE(Result.Out == Expected) << Result.Out.size() << " bytes";
}

} // namespace
