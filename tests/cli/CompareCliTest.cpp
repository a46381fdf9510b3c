#include "EngineTestSupport.h"
#include "GoldenCases.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct TResult {
    int Status = -1;
    std::string Out, Err;
};

// Runs the built tool; standard output goes to OutPath (e.g. /dev/full)
// when given, else to a file read back.
TResult RunTool(std::vector<std::string> Args, std::string OutPath = "") {
    const auto Folder = MakeTestFolder();
    const bool Capture = OutPath.empty();
    if (Capture)
        OutPath = (Folder / "out").string();
    const std::string ErrPath = (Folder / "err").string();
    Args.insert(Args.begin(), TARNWELL_COMPARE);
    std::vector<char *> Argv;
    for (std::string &Arg : Args)
        Argv.push_back(Arg.data());
    Argv.push_back(nullptr);
    const pid_t Child = fork();
    if (Child == 0) {
        const int Out = open(OutPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int Err = open(ErrPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (Out >= 0 && Err >= 0 && dup2(Out, 1) >= 0 && dup2(Err, 2) >= 0)
            execv(Argv[0], Argv.data());
        _exit(127);
    }
    TResult Result;
    int Status = 0;
    if (waitpid(Child, &Status, 0) == Child && WIFEXITED(Status))
        Result.Status = WEXITSTATUS(Status);
    Result.Out = Capture ? ReadWholeFile(OutPath) : "";
    Result.Err = ReadWholeFile(ErrPath);
    return Result;
}

// Each golden case through the tool: the whole report, and exit status 1
// exactly when some line is only in one file.
TEST(CompareTool, PrintsTheGoldenReportsAndExitsOneOnDifferences) {
    for (const TGoldenRun &Run : GoldenRuns()) {
        SCOPED_TRACE(Run.Case + " -" + Run.Options);
        std::vector<std::string> Args = {Run.First.string(), Run.Second.string()};
        if (!Run.Options.empty())
            Args.insert(Args.begin(), "-" + Run.Options);
        const TResult Result = RunTool(Args);
        EXPECT_EQ(Result.Out, Run.Expected);
        const bool Differs = Run.Expected.starts_with("a.txt") ||
                             Run.Expected.starts_with("b.txt") ||
                             Run.Expected.find("\na.txt") != std::string::npos ||
                             Run.Expected.find("\nb.txt") != std::string::npos;
        EXPECT_EQ(Result.Status, Differs ? 1 : 0);
        EXPECT_EQ(Result.Err, "");
    }
    const std::string Notes = std::string(TARNWELL_TEST_DATA) + "/notes/";
    EXPECT_EQ(
        RunTool({"--only-differences", "--ignore-big-numbers", Notes + "a.txt", Notes + "b.txt"})
            .Out,
        ReadWholeFile(Notes + "expected-d.txt"));
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

TEST(CompareTool, UsageHelpAndVersion) {
    const auto Folder = MakeTestFolder();
    const std::string A = WriteBytes(Folder / "a", "x\n");
    for (const std::vector<std::string> &Args : std::vector<std::vector<std::string>>{
             {}, {A}, {A, A, A}, {"-x", A, A}, {"--bogus", A, A}, {"-dq", A, A}}) {
        const TResult Result = RunTool(Args);
        EXPECT_TRUE(Result.Status == 2 && Result.Out.empty() &&
                    Result.Err.starts_with("tarnwell-compare: "))
            << Result.Err;
    }
    for (const char *Option : {"-h", "--help"}) {
        const TResult Help = RunTool({Option});
        EXPECT_EQ(Help.Status, 0);
        EXPECT_TRUE(Help.Out.starts_with("Usage: tarnwell-compare [OPTION]... FILE1 FILE2\n"));
    }
    EXPECT_EQ(RunTool({"--version"}).Out, "tarnwell-compare 1.01\n");
    // "--" ends the options: here both names are "-d".
    const std::string Cwd = std::filesystem::current_path();
    std::filesystem::current_path(Folder);
    WriteBytes(Folder / "-d", "x\n");
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

TEST(CompareTool, LongOutputPassesThroughTheBufferIntact) {
    const auto Folder = MakeTestFolder();
    std::string Text, Expected;
    for (int K = 0; K < 60000; ++K) {
        const std::string Line = "line " + std::to_string(K) + std::string(K % 37, '+');
        Text += Line + "\n";
        Expected += "     " + Line + "\n";
    }
    Text += std::string(300000, 'w'); // longer than the whole buffer
    Expected += "     " + std::string(300000, 'w') + "\n";
    const TResult Result =
        RunTool({WriteBytes(Folder / "p/f", Text), WriteBytes(Folder / "q/f", Text)});
    EXPECT_EQ(Result.Status, 0);
    EXPECT_TRUE(Result.Out == Expected) << Result.Out.size() << " bytes";
}

} // namespace
