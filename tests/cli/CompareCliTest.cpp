#include "EngineTestSupport.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct TResult {
    int Status = -1;
    std::string Out, Err;
};

std::string ReadAll(const std::string &Path) {
    std::ostringstream Text;
    Text << std::ifstream(Path, std::ios::binary).rdbuf();
    return Text.str();
}

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
    Result.Out = Capture ? ReadAll(OutPath) : "";
    Result.Err = ReadAll(ErrPath);
    return Result;
}

struct TNotes {
    std::filesystem::path Folder = MakeTestFolder();
    std::string Old =
        WriteBytes(Folder / "old/notes.txt", "title\r\none\r\ntwo\r\nthree\r\nfour\r\n");
    std::string New =
        WriteBytes(Folder / "new/notes.txt", "title\nzero\none\ntwo\nTHREE\nfour\nfive");
};

TEST(CompareTool, PrintsTheReportAndExitsOneOnDifferences) {
    const TNotes Notes;
    const TResult Full = RunTool({Notes.Old, Notes.New});
    EXPECT_EQ(Full.Status, 1);
    EXPECT_EQ(Full.Out, "       title\nnew/   zero\n       one\n       two\nold/   three\n"
                        "new/   THREE\n       four\nnew/   five\n");
    EXPECT_EQ(Full.Err, "");
    EXPECT_EQ(RunTool({"--only-differences", Notes.Old, Notes.New}).Out,
              "new/   zero\nold/   three\nnew/   THREE\nnew/   five\n");
}

TEST(CompareTool, ExitsZeroWhenNoLineIsOnlyInOneFile) {
    const auto Folder = MakeTestFolder();
    const std::string A = WriteBytes(Folder / "a/x", "n = 1234567;\nsame\n");
    const std::string B = WriteBytes(Folder / "b/x", "n = 7654321;\r\nsame");
    EXPECT_EQ(RunTool({A, A}).Status, 0);
    EXPECT_EQ(RunTool({A, B}).Status, 1);
    const std::pair<const char *, const char *> Cases[] = {
        {"-n", "     n = 999999;\n     same\n"},
        {"--ignore-big-numbers", "     n = 999999;\n     same\n"},
        {"-dn", ""},
        {"-nd", ""}};
    for (const auto &[Options, Out] : Cases) {
        const TResult Result = RunTool({Options, A, B});
        EXPECT_EQ(Result.Status, 0) << Options;
        EXPECT_EQ(Result.Out, Out) << Options;
    }
}

TEST(CompareTool, AnUnreadableFileComparesAsEmptyButExitsTwo) {
    const TNotes Notes;
    const std::string Pipe = (Notes.Folder / "pipe").string(),
                      Missing = (Notes.Folder / "no").string();
    ASSERT_EQ(mkfifo(Pipe.c_str(), 0600), 0);
    const std::pair<std::string, std::string> Cases[] = {{Missing, "No such file or directory"},
                                                         {Notes.Folder.string(), "Is a directory"},
                                                         {Pipe, "Not a regular file"}};
    for (const auto &[Name, Reason] : Cases) {
        const TResult Result = RunTool({"-d", Notes.Old, Name});
        EXPECT_EQ(Result.Status, 2);
        EXPECT_EQ(Result.Err, "tarnwell-compare: cannot read " + Name + ": " + Reason + "\n");
        EXPECT_EQ(std::count(Result.Out.begin(), Result.Out.end(), '\n'), 5) << Result.Out;
    }
    const TResult Both = RunTool({Missing, Missing + "2"});
    EXPECT_EQ(Both.Status, 2);
    EXPECT_EQ(std::count(Both.Err.begin(), Both.Err.end(), '\n'), 2);
}

TEST(CompareTool, UsageHelpAndVersion) {
    const TNotes Notes;
    const std::vector<std::vector<std::string>> Wrong = {{},
                                                         {Notes.Old},
                                                         {Notes.Old, Notes.New, Notes.New},
                                                         {"-x", Notes.Old, Notes.New},
                                                         {"--bogus", Notes.Old, Notes.New},
                                                         {"-dq", Notes.Old, Notes.New}};
    for (const auto &Args : Wrong) {
        const TResult Result = RunTool(Args);
        EXPECT_EQ(Result.Status, 2);
        EXPECT_EQ(Result.Out, "");
        EXPECT_TRUE(Result.Err.starts_with("tarnwell-compare: ")) << Result.Err;
    }
    for (const char *Option : {"-h", "--help"}) {
        const TResult Help = RunTool({Option});
        EXPECT_EQ(Help.Status, 0);
        EXPECT_TRUE(Help.Out.starts_with("Usage: tarnwell-compare [OPTION]... FILE1 FILE2\n"));
    }
    EXPECT_EQ(RunTool({"--version"}).Out, "tarnwell-compare 1.01\n");
    // "--" ends the options: here both names are "-d".
    const std::string Cwd = std::filesystem::current_path();
    std::filesystem::current_path(Notes.Folder);
    WriteBytes(Notes.Folder / "-d", "x\n");
    EXPECT_EQ(RunTool({"--", "-d", "-d"}).Out, "   x\n");
    std::filesystem::current_path(Cwd);
}

TEST(CompareTool, AFailedWriteExitsTwo) {
    const TNotes Notes;
    for (const std::vector<std::string> &Args :
         {std::vector<std::string>{Notes.Old, Notes.New}, {Notes.Old, Notes.Old}, {"--version"}}) {
        const TResult Result = RunTool(Args, "/dev/full");
        EXPECT_EQ(Result.Status, 2);
        EXPECT_EQ(Result.Err, "tarnwell-compare: write error: No space left on device\n");
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
