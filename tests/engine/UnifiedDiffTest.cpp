#include "UnifiedDiff.h"
#include "EngineTestSupport.h"
#include "GoldenCases.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

const std::string Epoch(UnifiedEpochTime);

// The format's rules are shown by the golden cases (expected-u.txt).

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

// patch -o OUT FILE1 < DIFF gives FILE2 byte for byte, for files whose lines
// end in LF: generated pairs with changes near and far, with and without a
// last line end, under every context.
TEST(UnifiedDiff, PatchRebuildsTheSecondFile) {
    if (std::system("patch --version >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "patch is not installed";
    const auto Folder = MakeTestFolder();
    std::vector<std::pair<std::string, std::string>> Pairs;
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
