#include "UnifiedDiff.h"
#include "EngineTestSupport.h"
#include "GoldenCases.h"
#include "PermissionsBind.h"
#include "UnifiedTrees.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <map>
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

// Each regular file below Root by its path, with its bytes.
std::map<std::string, std::string> FilesBelow(const std::filesystem::path &Root) {
    std::map<std::string, std::string> Files;
    for (const auto &Entry : std::filesystem::recursive_directory_iterator(Root))
        if (Entry.is_regular_file())
            Files[Entry.path().lexically_relative(Root).string()] = ReadWholeFile(Entry.path());
    return Files;
}

struct TTreeDiff {
    std::string Patch, Notes;
    TUnifiedTreeOutcome Outcome;
};

// The diff of the trees a and b in Folder, named as a user in Folder names them.
TTreeDiff DiffTrees(const std::filesystem::path &Folder, int Context = 3) {
    TTreeDiff Diff;
    const auto Before = std::filesystem::current_path();
    std::filesystem::current_path(Folder);
    Diff.Outcome = WriteUnifiedTrees(
        {.FileName1 = "a", .FileName2 = "b"}, Context,
        [&](std::string_view Bytes) { Diff.Patch += Bytes; },
        [&](std::string_view Text, bool Trouble) {
            Diff.Notes += std::string(Trouble ? "! " : "") + std::string(Text) + "\n";
        });
    std::filesystem::current_path(Before);
    return Diff;
}

// patch -p1 in a copy of the first tree makes the second: generated trees
// with files changed, removed and added, alone and with whole folders.
TEST(UnifiedDiff, PatchTurnsACopyOfTheFirstTreeIntoTheSecond) {
    if (std::system("patch --version >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "patch is not installed";
    TRandom Random(5);
    for (int Round = 0; Round < 6; ++Round) {
        const auto Folder = MakeTestFolder();
        for (int K = 0; K < 40; ++K) {
            // Appended piece by piece: "x" + std::string trips GCC 12's -Wrestrict.
            std::string Path = "d";
            Path += std::to_string(Random.Below(4));
            if (Random.Below(2))
                Path += "/e", Path += std::to_string(Random.Below(3));
            Path += "/f", Path += std::to_string(K);
            std::string A, B;
            for (int Line = 0, Lines = 1 + int(Random.Below(12)); Line < Lines; ++Line) {
                const std::string Text = std::to_string(Random.Below(5)) + "\n";
                A += Text;
                B += Random.Below(6) == 0 ? "changed\n" : Text;
            }
            // In the first tree only, the second only, or both.
            const unsigned Where = Random.Below(5);
            if (Where != 1)
                WriteBytes(Folder / "a" / Path, A);
            if (Where != 0)
                WriteBytes(Folder / "b" / Path, B);
        }
        // Whole folders in one tree only.
        WriteBytes(Folder / "a" / "gone" / "deep" / "x", "old\n");
        WriteBytes(Folder / "b" / "new" / "deep" / "y", "new\n");
        const TTreeDiff Diff = DiffTrees(Folder, Round % 4);
        SCOPED_TRACE(Diff.Patch);
        EXPECT_TRUE(Diff.Outcome.Differs);
        EXPECT_EQ(Diff.Notes, "");
        WriteBytes(Folder / "diff", Diff.Patch);
        const std::string Command =
            "cd '" + Folder.string() + "' && cp -r a c && patch -s -p1 -d c <diff >/dev/null 2>&1";
        ASSERT_EQ(std::system(Command.c_str()), 0);
        EXPECT_EQ(FilesBelow(Folder / "c"), FilesBelow(Folder / "b"));
    }
}

// What no hunk can carry: binary files as diff words them, a file against a
// folder, an unreadable file; equal trees write nothing.
TEST(UnifiedDiff, TreesTellWhatAHunkCannotCarry) {
    const auto Folder = MakeTestFolder();
    WriteBytes(Folder / "a" / "same", "x\n");
    WriteBytes(Folder / "b" / "same", "x\n");
    EXPECT_EQ(DiffTrees(Folder).Patch, "");
    EXPECT_FALSE(DiffTrees(Folder).Outcome.Differs);

    WriteBytes(Folder / "a" / "bin", std::string("a\0b", 3));
    WriteBytes(Folder / "b" / "bin", std::string("a\0c", 3));
    WriteBytes(Folder / "b" / "late", std::string(9000, 'x') + std::string("\0", 1));
    WriteBytes(Folder / "a" / "kind", "x\n");
    WriteBytes(Folder / "b" / "kind" / "inner", "x\n");
    WriteBytes(Folder / "a" / "locked", "x\n");
    WriteBytes(Folder / "b" / "locked", "y\n");
    std::filesystem::permissions(Folder / "b" / "locked", std::filesystem::perms::none);
    const PermissionsBind Bound;
    const TTreeDiff Diff = DiffTrees(Folder);
    EXPECT_EQ(Diff.Patch, "Binary files a/bin and b/bin differ\n"
                          "Binary files a/late and b/late differ\n");
    EXPECT_EQ(Diff.Notes, "File and folder: kind\n! Cannot read: locked: Permission denied\n");
    EXPECT_TRUE(Diff.Outcome.Differs);
    EXPECT_TRUE(Diff.Outcome.Trouble);
}

} // namespace
