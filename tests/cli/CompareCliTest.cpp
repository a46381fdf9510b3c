#include "EngineTestSupport.h"
#include "GoldenCases.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <regex>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <tuple>

namespace {

struct TResult {
    int Status;
    std::string Out, Err;
};

// Where the tool runs: standard output to Out (e.g. /dev/full) when given,
// else to a file read back; standard input from In; the folder it runs in;
// the time zone UTC.
struct TToolSetting {
    std::string Out = {};
    std::string In = {};
    std::filesystem::path Folder = {};
};

TResult RunTool(const std::vector<std::string> &Args, const TToolSetting &Setting = {}) {
    const auto Folder = MakeTestFolder();
    const std::string Out = Setting.Out.empty() ? (Folder / "out").string() : Setting.Out;
    std::string Command = "TZ=UTC " TARNWELL_COMPARE;
    if (!Setting.Folder.empty())
        Command = "cd '" + Setting.Folder.string() + "' && " + Command;
    for (const std::string &Arg : Args)
        Command += " '" + Arg + "'";
    if (!Setting.In.empty())
        Command += " <'" + Setting.In + "'";
    const int Status =
        std::system((Command + " >" + Out + " 2>" + Folder.string() + "/err").c_str());
    return {WIFEXITED(Status) ? WEXITSTATUS(Status) : -1,
            Setting.Out.empty() ? ReadWholeFile(Out) : "", ReadWholeFile(Folder / "err")};
}

// The tool run on Args exits with Status and writes Out and Err.
void ExpectRun(const std::vector<std::string> &Args, int Status, const std::string &Out,
               const std::string &Err) {
    const TResult Result = RunTool(Args);
    EXPECT_EQ(Result.Status, Status) << Err;
    EXPECT_EQ(Result.Out, Out);
    EXPECT_EQ(Result.Err, Err);
}

// Text without its colours: every "ESC[...m" taken out.
std::string WithoutEscapes(std::string Text) {
    for (std::size_t At; (At = Text.find('\x1b')) != std::string::npos;)
        Text.erase(At, Text.find('m', At) + 1 - At);
    return Text;
}

class GoldenToolTest : public testing::TestWithParam<TGoldenRun> {};

// The golden case through the tool, its options as short flags (x as
// --ignore-text, s as "-"), its files copied as a.txt and b.txt modified at
// 0 seconds: the whole report or diff, and exit status 1 exactly when some
// line is only in one file.
TEST_P(GoldenToolTest, PrintsTheReportAndExitsOneOnDifferences) {
    const TGoldenRun &Run = GetParam();
    const auto Folder = MakeTestFolder();
    for (const auto &[From, To] : {std::pair{Run.First, "a.txt"}, {Run.Second, "b.txt"}}) {
        std::filesystem::copy_file(From, Folder / To);
        const timespec Epoch[2] = {{0, 0}, {0, 0}};
        ASSERT_EQ(utimensat(AT_FDCWD, (Folder / To).c_str(), Epoch, 0), 0);
    }
    std::vector<std::string> Args = GoldenToolOptions(Run);
    Args.insert(Args.end(), {"a.txt", Run.Has('s') ? "-" : "b.txt"});
    const TResult Result =
        RunTool(Args, {.In = Run.Has('s') ? (Folder / "b.txt").string() : "", .Folder = Folder});
    // A report line with a label stands for a difference; any diff at all does.
    const std::string Plain = WithoutEscapes(Run.Expected);
    bool Differs = Run.Has('u') && !Plain.empty();
    for (std::size_t Start = 0; Start < Plain.size() && !Run.Has('u');
         Start = Plain.find('\n', Start) + 1)
        Differs |= Plain[Start] != ' ';
    EXPECT_EQ(Result.Out, Run.Expected);
    EXPECT_EQ(Result.Status, Differs ? 1 : 0);
    EXPECT_EQ(Result.Err, "");
}

INSTANTIATE_TEST_SUITE_P(Golden, GoldenToolTest, testing::ValuesIn(GoldenRuns("")), GoldenRowName);

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

class GoldenTreeToolTest : public testing::TestWithParam<TGoldenRun> {};

// A golden tree through the tool: the whole report, exit status 1 as the
// trees differ, and how the run ended on standard error when asked.
TEST_P(GoldenTreeToolTest, PrintsTheReportAndTheSummaryAsked) {
    const TGoldenRun &Run = GetParam();
    std::vector<std::string> Args = {Run.First.string(), "--summary", Run.Second.string()};
    if (!Run.Options.empty())
        Args.insert(Args.begin(), "-" + Run.Options);
    const TResult Result = RunTool(Args);
    EXPECT_EQ(Result.Out, Run.Expected);
    EXPECT_EQ(Result.Status, 1);
    EXPECT_EQ(Result.Err, std::string("All Done: ") + (Run.Options == "w" ? "5" : "6") +
                              " files differ, 2 only in old, 2 only in new, " +
                              (Run.Options == "w" ? "7" : "6") + " identical\n");
}

INSTANTIATE_TEST_SUITE_P(GoldenTrees, GoldenTreeToolTest, testing::ValuesIn(GoldenTreeRuns()),
                         GoldenRowName);

// Two folders exit 0 when nothing differs (the same folder twice: every
// file identical) and 2 when something could not be read, the report
// printed all the same.
TEST(CompareTool, FoldersExitZeroWhenAlikeAndTwoWhenSomethingCannotBeRead) {
    const std::string Old = TARNWELL_TEST_DATA "/trees/basic/old";
    ExpectRun({"-d", Old, Old}, 0, "", "");
    std::istringstream All(RunTool({Old, Old}).Out);
    int Count = 0;
    for (std::string Line; std::getline(All, Line); ++Count)
        EXPECT_TRUE(Line.starts_with("Identical: ")) << Line;
    EXPECT_EQ(Count, 14);
    const auto Folder = MakeTestFolder();
    for (const char *Tree : {"a", "b"}) {
        WriteBytes(Folder / Tree / "same.txt", "x\n");
        std::filesystem::create_symlink("nowhere", Folder / Tree / "link");
    }
    ExpectRun({(Folder / "a").string(), (Folder / "b").string()}, 2,
              "Cannot read: link: No such file or directory\nIdentical: same.txt\n", "");
    // -u on trees: what no hunk carries is told on standard error.
    ExpectRun({"-u", (Folder / "a").string(), (Folder / "b").string()}, 2, "",
              "tarnwell-compare: Cannot read: link: No such file or directory\n");
    ExpectRun({"-u", Old, Old}, 0, "", "");
    // -N: each pair's numbers are as wide as its own files' line counts.
    std::string Twelve;
    for (int Line = 1; Line <= 12; ++Line)
        Twelve += std::to_string(Line) + "\n";
    WriteBytes(Folder / "n" / "a" / "f", Twelve);
    WriteBytes(Folder / "n" / "b" / "f", Twelve + "X\n");
    EXPECT_EQ(RunTool({"-dN", (Folder / "n" / "a").string(), (Folder / "n" / "b").string()}).Out,
              "Files differ: f\nb/      13  X\n" + std::string(62, '.') + "\n");
    const TResult Differ = RunTool({"-u", Old, TARNWELL_TEST_DATA "/trees/basic/new"});
    EXPECT_EQ(Differ.Status, 1);
    EXPECT_EQ(Differ.Err, "tarnwell-compare: File and folder: thing\n");
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

// A folder beside a file stands for the file of that name in it: the
// message names that one.
TEST(CompareTool, AnUnreadableFileComparesAsEmptyButExitsTwo) {
    const auto Folder = MakeTestFolder();
    const std::string Here = WriteBytes(Folder / "here.txt", "1\n2\n3\n4\n5\n");
    const std::string Pipe = (Folder / "pipe").string(), Missing = (Folder / "no").string();
    const std::string Other = (Folder / "other").string();
    ASSERT_EQ(mkfifo(Pipe.c_str(), 0600), 0);
    std::filesystem::create_directories(Other + "/here.txt");
    const std::tuple<std::string, std::string, std::string> Cases[] = {
        {Missing, Missing, "No such file or directory"},
        {Other, Other + "/here.txt", "Is a directory"},
        {Pipe, Pipe, "Not a regular file"},
        {"/dev/zero", "/dev/zero", "Not a regular file"},
        {"", "", "No such file or directory"}};
    for (const auto &[Name, Read, Reason] : Cases) {
        const TResult Result = RunTool({"-d", Here, Name});
        EXPECT_EQ(Result.Status, 2);
        EXPECT_EQ(Result.Err, "tarnwell-compare: cannot read " + Read + ": " + Reason + "\n");
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
        {{A, A, "-U"}, "option requires an argument -- 'U'"},
        {{A, A, "--ignore-text"}, "option '--ignore-text' requires an argument"},
        {{"--ignore", A, A}, "unrecognized option '--ignore'"},
        {{"-U", "-1", A, A}, "invalid context length '-1'"},
        {{"--unified=3x", A, A}, "invalid context length '3x'"},
        {{"-ud", A, A}, "-u cannot be used with -d or -N"},
        {{"-uN", A, A}, "-u cannot be used with -d or -N"},
        {{"-", "-"}, "'-' (standard input) given twice"},
        {{"--colo=always", A, A}, "unrecognized option '--colo=always'"},
        {{"--color=yes", A, A}, "invalid color 'yes'"},
    };
    for (const auto &[Args, Message] : Cases)
        ExpectRun(Args, 2, "",
                  "tarnwell-compare: " + Message +
                      "\nTry 'tarnwell-compare --help' for more information.\n");
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
    EXPECT_EQ(RunTool({"--", "-d", "-d"}, {.Folder = Folder}).Out, "     x\n");
}

// -u: nothing for files that compare equal (status 0), the diff and status
// 1 when they differ, nothing and status 2 when a file cannot be read or
// holds a zero byte, or a pattern does not compile (told before any file is
// read). "-" is standard input, at the present time. A line that hits the
// patterns' match limit is told once.
TEST(CompareTool, UnifiedDiffsAndTheirStatus) {
    const auto Folder = MakeTestFolder();
    const std::string A = WriteBytes(Folder / "a", "x\ny\n"),
                      B = WriteBytes(Folder / "b", "x\nz\n"),
                      Zero = WriteBytes(Folder / "z", std::string("x\0y\n", 4));
    const TResult Equal = RunTool({"-u", A, A});
    EXPECT_TRUE(Equal.Status == 0 && Equal.Out.empty());
    const TResult Piped = RunTool({"-U1", A, "-"}, {.In = B});
    EXPECT_EQ(Piped.Status, 1);
    const std::regex Now("\\+\\+\\+ -\t[0-9-]{10} [0-9:]{8}\\.[0-9]{9} [+-][0-9]{4}");
    EXPECT_TRUE(std::regex_search(Piped.Out, Now)) << Piped.Out;
    EXPECT_TRUE(Piped.Out.ends_with("\n@@ -1,2 +1,2 @@\n x\n-y\n+z\n")) << Piped.Out;
    const std::pair<std::vector<std::string>, std::string> Troubles[] = {
        {{"-u", A, "/nonexistent"}, "cannot read /nonexistent: No such file or directory"},
        {{"-u", Zero, A}, Zero + " holds a zero byte, which a unified diff cannot carry"},
        {{"--ignore-text=x", "--ignore-text=(", "/nonexistent", "-"},
         "invalid pattern '(': missing closing parenthesis at offset 1"},
    };
    for (const auto &[Args, Message] : Troubles)
        ExpectRun(Args, 2, "", "tarnwell-compare: " + Message + "\n");
    const std::string Runaway = WriteBytes(Folder / "r", std::string(30, 'a') + "b\n");
    const TResult Result = RunTool({"-u", "--ignore-text=(a+)+$", Runaway, A});
    EXPECT_EQ(Result.Status, 1);
    EXPECT_EQ(Result.Err, "tarnwell-compare: the patterns' match limit was hit on 1 line; it "
                          "compared unfiltered\n");
}

TEST(CompareTool, AFailedWriteExitsTwo) {
    const std::string A = WriteBytes(MakeTestFolder() / "a", "x\n"),
                      Empty = WriteBytes(MakeTestFolder() / "e", "");
    for (const std::vector<std::string> &Args :
         {std::vector<std::string>{A, "/nonexistent"}, {A, A}, {"--version"}, {"-u", A, Empty}}) {
        const TResult Result = RunTool(Args, {.Out = "/dev/full"});
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
