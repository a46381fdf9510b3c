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
    std::string Out;
    std::string Err;
};

std::string ReadAll(const std::filesystem::path &Path) {
    std::ifstream In(Path, std::ios::binary);
    std::ostringstream Text;
    Text << In.rdbuf();
    return Text.str();
}

// Runs the built tool with Args; its standard output goes to OutPath when
// given (e.g. /dev/full), else to a file that is read back.
TResult RunTool(const std::vector<std::string> &Args, const std::string &OutPath = "") {
    const auto Folder = MakeTestFolder();
    const std::string OutFile = OutPath.empty() ? (Folder / "out").string() : OutPath;
    const std::string ErrFile = (Folder / "err").string();
    const pid_t Child = fork();
    if (Child == 0) {
        const int Out = open(OutFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int Err = open(ErrFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (Out < 0 || Err < 0 || dup2(Out, 1) < 0 || dup2(Err, 2) < 0)
            _exit(127);
        std::vector<char *> Argv;
        Argv.push_back(const_cast<char *>(TARNWELL_COMPARE));
        for (const std::string &Arg : Args)
            Argv.push_back(const_cast<char *>(Arg.c_str()));
        Argv.push_back(nullptr);
        execv(TARNWELL_COMPARE, Argv.data());
        _exit(127);
    }
    TResult Result;
    int Status = 0;
    if (Child > 0 && waitpid(Child, &Status, 0) == Child && WIFEXITED(Status))
        Result.Status = WEXITSTATUS(Status);
    if (OutPath.empty())
        Result.Out = ReadAll(OutFile);
    Result.Err = ReadAll(ErrFile);
    return Result;
}

struct TFiles {
    std::filesystem::path Folder;
    std::string Old, New;
};

TFiles NotesFiles() {
    const auto Folder = MakeTestFolder();
    WriteBytes(Folder / "old/notes.txt", "title\r\none\r\ntwo\r\nthree\r\nfour\r\n");
    WriteBytes(Folder / "new/notes.txt", "title\nzero\none\ntwo\nTHREE\nfour\nfive");
    return {Folder, (Folder / "old/notes.txt").string(), (Folder / "new/notes.txt").string()};
}

TEST(CompareTool, PrintsTheReportAndExitsOneOnDifferences) {
    const TFiles Files = NotesFiles();
    const TResult Full = RunTool({Files.Old, Files.New});
    EXPECT_EQ(Full.Status, 1);
    EXPECT_EQ(Full.Out, "       title\nnew/   zero\n       one\n       two\nold/   three\n"
                        "new/   THREE\n       four\nnew/   five\n");
    EXPECT_EQ(Full.Err, "");
    for (const char *Option : {"-d", "--only-differences"}) {
        const TResult Short = RunTool({Option, Files.Old, Files.New});
        EXPECT_EQ(Short.Status, 1);
        EXPECT_EQ(Short.Out, "new/   zero\nold/   three\nnew/   THREE\nnew/   five\n");
    }
}

TEST(CompareTool, ExitsZeroWhenNoLineIsOnlyInOneFile) {
    const auto Folder = MakeTestFolder();
    WriteBytes(Folder / "a/x", "n = 1234567;\nsame\n");
    WriteBytes(Folder / "b/x", "n = 7654321;\r\nsame\r\n");
    const std::string A = (Folder / "a/x").string(), B = (Folder / "b/x").string();
    const TResult Plain = RunTool({A, A});
    EXPECT_EQ(Plain.Status, 0);
    EXPECT_EQ(Plain.Out, "   n = 1234567;\n   same\n");
    EXPECT_EQ(RunTool({"-d", A, A}).Out, "");
    EXPECT_EQ(RunTool({A, B}).Status, 1);
    for (const char *Options : {"-n", "--ignore-big-numbers", "-dn", "-nd"}) {
        SCOPED_TRACE(Options);
        const TResult Ignored = RunTool({Options, A, B});
        EXPECT_EQ(Ignored.Status, 0);
        EXPECT_EQ(Ignored.Out, std::string(Options).find('d') == std::string::npos
                                   ? "     n = 999999;\n     same\n"
                                   : "");
    }
}

TEST(CompareTool, AnUnreadableFileComparesAsEmptyButExitsTwo) {
    const TFiles Files = NotesFiles();
    const std::string Missing = (Files.Folder / "missing.txt").string();
    const std::string Pipe = (Files.Folder / "pipe").string();
    ASSERT_EQ(mkfifo(Pipe.c_str(), 0600), 0);
    struct TCase {
        std::string Name, Reason;
    };
    const TCase Cases[] = {{Missing, "No such file or directory"},
                           {Files.Folder.string(), "Is a directory"},
                           {Pipe, "Not a regular file"}};
    for (const TCase &Case : Cases) {
        SCOPED_TRACE(Case.Name);
        const TResult Result = RunTool({"-d", Files.Old, Case.Name});
        EXPECT_EQ(Result.Status, 2);
        EXPECT_EQ(Result.Err,
                  "tarnwell-compare: cannot read " + Case.Name + ": " + Case.Reason + "\n");
        // Every line of the readable file is still reported.
        EXPECT_EQ(std::count(Result.Out.begin(), Result.Out.end(), '\n'), 5);
        const std::size_t Width =
            std::max<std::size_t>(9, std::filesystem::path(Case.Name).filename().string().size()) +
            3;
        EXPECT_EQ(Result.Out.substr(0, Result.Out.find('\n')),
                  "notes.txt" + std::string(Width - 9, ' ') + "title");
    }
    const TResult Both = RunTool({Missing, Missing + "2"});
    EXPECT_EQ(Both.Status, 2);
    EXPECT_EQ(Both.Out, "");
    EXPECT_EQ(std::count(Both.Err.begin(), Both.Err.end(), '\n'), 2);
}

TEST(CompareTool, RejectsWrongUsageWithStatusTwo) {
    const TFiles Files = NotesFiles();
    const std::vector<std::vector<std::string>> Cases = {{},
                                                         {Files.Old},
                                                         {Files.Old, Files.New, Files.New},
                                                         {"-x", Files.Old, Files.New},
                                                         {"--bogus", Files.Old, Files.New},
                                                         {"-dq", Files.Old, Files.New}};
    for (const auto &Args : Cases) {
        SCOPED_TRACE(Args.size());
        const TResult Result = RunTool(Args);
        EXPECT_EQ(Result.Status, 2);
        EXPECT_EQ(Result.Out, "");
        EXPECT_EQ(Result.Err.rfind("tarnwell-compare: ", 0), 0u);
    }
}

TEST(CompareTool, DoubleDashEndsTheOptions) {
    const auto Folder = MakeTestFolder();
    WriteBytes(Folder / "-d", "x\n");
    const std::string Cwd = std::filesystem::current_path().string();
    std::filesystem::current_path(Folder);
    const TResult Result = RunTool({"--", "-d", "-d"});
    std::filesystem::current_path(Cwd);
    EXPECT_EQ(Result.Status, 0);
    EXPECT_EQ(Result.Out, "   x\n");
}

TEST(CompareTool, HelpAndVersion) {
    for (const char *Option : {"-h", "--help"}) {
        const TResult Help = RunTool({Option});
        EXPECT_EQ(Help.Status, 0);
        EXPECT_EQ(Help.Out.rfind("Usage: tarnwell-compare [OPTION]... FILE1 FILE2\n", 0), 0u);
        EXPECT_NE(Help.Out.find("--ignore-big-numbers"), std::string::npos);
    }
    const TResult Version = RunTool({"--version"});
    EXPECT_EQ(Version.Status, 0);
    EXPECT_EQ(Version.Out, "tarnwell-compare 1.01\n");
}

TEST(CompareTool, AFailedWriteExitsTwo) {
    const TFiles Files = NotesFiles();
    for (const std::vector<std::string> &Args :
         {std::vector<std::string>{Files.Old, Files.New}, {Files.Old, Files.Old}, {"--version"}}) {
        const TResult Result = RunTool(Args, "/dev/full");
        EXPECT_EQ(Result.Status, 2);
        EXPECT_EQ(Result.Err, "tarnwell-compare: write error: No space left on device\n");
    }
}

TEST(CompareTool, LongOutputPassesThroughTheBufferIntact) {
    const auto Folder = MakeTestFolder();
    std::string A, Expected;
    for (int K = 0; K < 60000; ++K) {
        const std::string Line = "line number " + std::to_string(K) + std::string(K % 37, '+');
        A += Line + "\n";
        Expected += "     " + Line + "\n";
    }
    const std::string Wide(300000, 'w');
    A += Wide + "\n";
    Expected += "     " + Wide + "\n";
    WriteBytes(Folder / "p/f", A);
    WriteBytes(Folder / "q/f", A);
    const TResult Result = RunTool({(Folder / "p/f").string(), (Folder / "q/f").string()});
    EXPECT_EQ(Result.Status, 0);
    EXPECT_TRUE(Result.Out == Expected) << "output differs, " << Result.Out.size() << " bytes";
}

} // namespace
