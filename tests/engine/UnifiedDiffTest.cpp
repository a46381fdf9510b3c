#include "UnifiedDiff.h"
#include "EngineTestSupport.h"
#include "GoldenCases.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

const std::string Epoch(UnifiedEpochTime);
const std::string Header = "--- a\t" + Epoch + "\n+++ b\t" + Epoch + "\n";

// The diff of files holding A and B, named a and b at UnifiedEpochTime.
std::string Diff(const std::string &A, const std::string &B, int Context = 3,
                 TCompareRequest Request = {}, TUnifiedOutcome *Outcome = nullptr) {
    const auto Folder = MakeTestFolder();
    Request.FileName1 = WriteBytes(Folder / "a", A);
    Request.FileName2 = WriteBytes(Folder / "b", B);
    std::string Out;
    const TUnifiedOutcome Result = WriteUnifiedDiff(Request,
                                                    {.Context = Context,
                                                     .First = {.Name = "a", .Time = Epoch},
                                                     .Second = {.Name = "b", .Time = Epoch}},
                                                    [&](std::string_view Bytes) { Out += Bytes; });
    if (Outcome != nullptr)
        *Outcome = Result;
    return Out;
}

struct TDiffCase {
    const char *Why;
    std::string A, B;
    int Context;
    std::string Hunks; // the diff after its header; "" for no diff at all
};

TEST(UnifiedDiff, HunksFollowGnuDiffsFormat) {
    const TDiffCase Cases[] = {
        {"equal files", "a\nb\n", "a\nb\n", 3, ""},
        {"both without a line end", "a\nb", "a\nb", 3, ""},
        {"context on both sides", "1\n2\n3\n4\n5\n", "1\n2\nX\n4\n5\n", 1,
         "@@ -2,3 +2,3 @@\n 2\n-3\n+X\n 4\n"},
        {"contexts that touch make one hunk", "1\n2\n3\n4\n5\n6\n", "1\nX\n3\n4\nY\n6\n", 1,
         "@@ -1,6 +1,6 @@\n 1\n-2\n+X\n 3\n 4\n-5\n+Y\n 6\n"},
        {"one more line between parts them", "1\n2\n3\n4\n5\n6\n7\n", "1\nX\n3\n4\n5\nY\n7\n", 1,
         "@@ -1,3 +1,3 @@\n 1\n-2\n+X\n 3\n@@ -5,3 +5,3 @@\n 5\n-6\n+Y\n 7\n"},
        {"a count of one stands alone", "1\n2\n3\n", "1\nX\n3\n", 0, "@@ -2 +2 @@\n-2\n+X\n"},
        {"an empty side counts from the line before", "", "x\ny\n", 3, "@@ -0,0 +1,2 @@\n+x\n+y\n"},
        {"an insertion without context", "1\n2\n", "1\nX\n2\n", 0, "@@ -1,0 +2 @@\n+X\n"},
        {"all removed", "x\n", "", 3, "@@ -1 +0,0 @@\n-x\n"},
        {"removed lines come before added ones", "k\n1\n2\nk\n", "k\nA\nB\nk\n", 3,
         "@@ -1,4 +1,4 @@\n k\n-1\n-2\n+A\n+B\n k\n"},
        {"a common last line open in both", "x\ny", "X\ny", 3,
         "@@ -1,2 +1,2 @@\n-x\n+X\n y\n\\ No newline at end of file\n"},
        {"a common last line open in one", "x\ny\n", "x\ny", 0,
         "@@ -2 +2 @@\n-y\n+y\n\\ No newline at end of file\n"},
        {"line ends are not part of a line", "x\r\ny\r\n", "x\nz\r", 3,
         "@@ -1,2 +1,2 @@\n x\n-y\n+z\n"},
    };
    for (const TDiffCase &Case : Cases)
        EXPECT_EQ(Diff(Case.A, Case.B, Case.Context), Case.Hunks.empty() ? "" : Header + Case.Hunks)
            << Case.Why;
}

// The options pair lines as a run with them does; a common line shows the
// first file's text.
TEST(UnifiedDiff, TheRequestsOptionsPairTheLines) {
    EXPECT_EQ(Diff("Same\nold 10:00:01\n", "same\nnew 11:22:33\n", 3,
                   {.IgnoreCase = true, .IgnoreText = {"[0-9:]+"}}),
              Header + "@@ -1,2 +1,2 @@\n Same\n-old 10:00:01\n+new 11:22:33\n");
    // Big numbers fold; the diff still shows them as they are.
    EXPECT_EQ(Diff("n 12345678\nx\n", "n 87654321\ny\n", 3, {.IgnoreBigNumbers = true}),
              Header + "@@ -1,2 +1,2 @@\n n 12345678\n-x\n+y\n");
}

// A side that is not there is an empty file at the epoch; names that patch
// would misread are C strings; a time not given is the file's, in local time.
TEST(UnifiedDiff, HeadersNameEachSideAsAsked) {
    setenv("TZ", "UTC", 1);
    tzset();
    const std::string Old = WriteBytes(MakeTestFolder() / "old", "x\n");
    const timespec When[2] = {{1234567890, 500000000}, {1234567890, 500000000}};
    ASSERT_EQ(utimensat(AT_FDCWD, Old.c_str(), When, 0), 0);
    std::string Out;
    const TUnifiedOutcome Outcome = WriteUnifiedDiff(
        {.FileName1 = Old, .FileName2 = "/nonexistent"},
        {.First = {.Name = "a/x\t\"y\\"}, .Second = {.Name = "b/x", .Absent = true}},
        [&](std::string_view Bytes) { Out += Bytes; });
    EXPECT_EQ(Out, "--- \"a/x\\t\\\"y\\\\\"\t2009-02-13 23:31:30.500000000 +0000\n+++ b/x\t" +
                       Epoch + "\n@@ -1 +0,0 @@\n-x\n");
    EXPECT_TRUE(Outcome.Differs);
    EXPECT_EQ(Outcome.Run.LoadError2, 0);
}

// Nothing at all is written for a file that cannot be read or that holds a
// zero byte, nor for a pattern that does not compile; a failed write ends
// the diff as broken.
TEST(UnifiedDiff, TroubleWritesNothing) {
    TUnifiedOutcome Outcome;
    EXPECT_EQ(Diff("x\n", std::string("y\0z\n", 4), 3, {}, &Outcome), "");
    EXPECT_EQ(Outcome.CutFile, 2);
    EXPECT_EQ(Diff("x\n", "y\n", 3, {.IgnoreText = {"("}}, &Outcome), "");
    EXPECT_EQ(Outcome.Run.PatternError,
              "invalid pattern '(': missing closing parenthesis at offset 1");
    std::string Out;
    Outcome = WriteUnifiedDiff({.FileName1 = "/nonexistent", .FileName2 = "/"}, {},
                               [&](std::string_view Bytes) { Out += Bytes; });
    EXPECT_EQ(Out, "");
    EXPECT_EQ(Outcome.Run.LoadError1, ENOENT);
    EXPECT_EQ(Outcome.Run.LoadError2, EISDIR);
    const std::string A = WriteBytes(MakeTestFolder() / "a", "x\n");
    Outcome = WriteUnifiedDiff({.FileName1 = A, .FileName2 = "/nonexistent"},
                               {.Second = {.Absent = true}},
                               [](std::string_view) { throw std::runtime_error("disk full"); });
    EXPECT_TRUE(Outcome.Run.Broken);
}

// patch -o OUT FILE1 < DIFF gives FILE2 byte for byte, for files whose lines
// end in LF: the golden pairs of that kind, and generated pairs with changes
// near and far, with and without a last line end, under every context.
TEST(UnifiedDiff, PatchRebuildsTheSecondFile) {
    if (std::system("patch --version >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "patch is not installed";
    const auto Folder = MakeTestFolder();
    std::vector<std::pair<std::string, std::string>> Pairs;
    for (const TGoldenRun &Run : GoldenRuns())
        if (Run.Options.empty()) {
            const std::string A = ReadWholeFile(Run.First), B = ReadWholeFile(Run.Second);
            if ((A + B).find_first_of("\r\x1a") == std::string::npos)
                Pairs.push_back({A, B});
        }
    TRandom Random(17);
    for (int K = 0; K < 60; ++K) {
        std::string A, B;
        for (int Line = 0, Lines = int(Random.Below(40)); Line < Lines; ++Line) {
            const std::string Text(1 + Random.Below(3), char('a' + Random.Below(4)));
            const unsigned Edit = Random.Below(10);
            A += Edit == 0 ? "" : Text + "\n";
            B += Edit == 1 ? "" : Edit == 2 ? Text + "x\n" : Text + "\n";
            if (Edit == 3)
                B += "new\n";
        }
        if (K % 3 == 0 && !A.empty())
            A.pop_back();
        if (K % 4 == 0 && !B.empty())
            B.pop_back();
        Pairs.push_back({A, B});
    }
    ASSERT_GT(Pairs.size(), 65u);
    for (std::size_t K = 0; K < Pairs.size(); ++K) {
        const auto &[A, B] = Pairs[K];
        // Real times: to patch, a file at the epoch is one to be created.
        std::string Patch;
        WriteUnifiedDiff(
            {.FileName1 = WriteBytes(Folder / "a", A), .FileName2 = WriteBytes(Folder / "b", B)},
            {.Context = int(K % 5)}, [&](std::string_view Bytes) { Patch += Bytes; });
        SCOPED_TRACE(testing::PrintToString(A) + " to " + testing::PrintToString(B) + ":\n" +
                     Patch);
        EXPECT_EQ(Patch.empty(), A == B);
        if (Patch.empty())
            continue;
        WriteBytes(Folder / "diff", Patch);
        std::filesystem::remove(Folder / "out");
        const std::string Command =
            "cd '" + Folder.string() + "' && patch -s -o out a <diff >/dev/null 2>&1";
        ASSERT_EQ(std::system(Command.c_str()), 0);
        EXPECT_EQ(ReadWholeFile(Folder / "out"), B);
    }
}

} // namespace
