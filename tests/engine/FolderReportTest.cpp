#include "Compare.h"
#include "EngineTestSupport.h"
#include "PermissionsBind.h"
#include "TContentCheck.h"
#include "TFileBatch.h"
#include "TFolderReport.h"

#include <algorithm>
#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

const std::string Basic = TARNWELL_TEST_DATA "/trees/basic/";

// A copy of the golden tree basic below a fresh folder, to add to.
fs::path CopyOfBasic() {
    const fs::path Folder = MakeTestFolder();
    fs::copy(Basic, Folder, fs::copy_options::recursive);
    return Folder;
}

TRecordingSink CompareTrees(
    const fs::path &Folder, bool OnlyDifferences = true,
    decltype(TRecordingSink::OnMessages) OnMessages = [](auto, auto) {}) {
    TRecordingSink Sink;
    Sink.OnMessages = OnMessages;
    RunComparison({.FileName1 = (Folder / "old").string(),
                   .FileName2 = (Folder / "new").string(),
                   .OnlyDifferences = OnlyDifferences},
                  Sink);
    return Sink;
}

bool Has(const TRecordingSink &Sink, const std::string &Line) {
    return ("\n" + Sink.Shown()).find("\n" + Line + "\n") != std::string::npos;
}

// "Only in" lines take the only-in kinds (coloured, and F8 stops there), the
// other lines about paths a heading's; a section's lines their own kinds.
TEST(FolderReport, LinesTakeTheirKindsAndTheStatusCountsThePaths) {
    const TRecordingSink Sink = CompareTrees(Basic, false);
    EXPECT_EQ(Sink.Status, "All Done: 6 files differ, 2 only in old, 2 only in new, 6 identical");
    EXPECT_EQ(Sink.Files, 16u);
    for (const auto &Line : Sink.Lines) {
        const std::string Text = Line.Prefix + Line.Text;
        const TLineKind Kind =
            Text.starts_with("Only in old") || Text.starts_with("old/")   ? TLineKind::OnlyInFirst
            : Text.starts_with("Only in new") || Text.starts_with("new/") ? TLineKind::OnlyInSecond
            : Text.starts_with(" ")                                       ? TLineKind::Common
            : Text.starts_with(".")                                       ? TLineKind::Separator
                                                                          : TLineKind::Heading;
        EXPECT_EQ(Line.Kind, Kind) << Text;
    }
}

// What cannot be checked in, made here in both trees; the run goes on past
// each of them.
TEST(FolderReport, BadInputIsALineAndTheRunGoesOn) {
    const fs::path Folder = CopyOfBasic();
    std::string Deep; // 4,000 characters of folders
    for (int K = 0; K < 40; ++K)
        Deep += std::string(99, char('a' + K % 26)) + "/";
    for (const char *Tree : {"old", "new"}) {
        const fs::path T = Folder / Tree;
        fs::create_directory_symlink("..", T / "sub/up");
        fs::create_directory_symlink("/", T / "top");
        fs::create_directory_symlink("/proc", T / "proc");
        mkfifo((T / "fifo").c_str(), 0600);
        fs::create_symlink("nowhere", T / "dangle");
        WriteBytes(T / "a\nb\x01\xff", Tree);
        WriteBytes(T / (Deep + "f"), Tree);
        WriteBytes(T / "locked/f", "x");
    }
    chmod((Folder / "old/locked").c_str(), 0);
    const PermissionsBind Bound;
    // Root keeps the right to read every folder where it cannot drop it.
    DIR *Locked = opendir((Folder / "old/locked").c_str());
    const TRecordingSink Sink = CompareTrees(Folder);
    for (const std::string &Line :
         {std::string("Skipped (link loop): sub/up/"), std::string("Skipped (link loop): top/"),
          std::string("Skipped (not a regular file): proc/"),
          std::string("Skipped (not a regular file): fifo"),
          std::string("Cannot read: dangle: No such file or directory"),
          std::string("Files differ: a?b?\xff"), "Files differ: " + Deep + "f",
          std::string("File and folder: thing")})
        EXPECT_TRUE(Has(Sink, Line)) << Line << "\n" << Sink.Shown();
    EXPECT_TRUE(Locked != nullptr || Has(Sink, "Cannot read: locked/: Permission denied"));
    EXPECT_TRUE(Sink.Status.starts_with("All Done: 8 files differ")) << Sink.Status;
    if (Locked != nullptr)
        closedir(Locked);
    chmod((Folder / "old/locked").c_str(), 0700);
}

// The tree changes while it is walked: a file and a folder listed go, and
// a file becomes a FIFO whose writer sends nothing, before they are reached
// (after the first path is written, while the rest wait to be read).
TEST(FolderReport, WhatGoesDuringTheWalkCannotBeRead) {
    const fs::path Folder = CopyOfBasic();
    int Writer = -1;
    const TRecordingSink Sink = CompareTrees(Folder, true, [&](auto, auto) {
        fs::remove(Folder / "new/same.txt");
        fs::remove_all(Folder / "old/sub");
        if (Writer < 0 && fs::remove(Folder / "new/notes.txt")) {
            mkfifo((Folder / "new/notes.txt").c_str(), 0600);
            Writer = open((Folder / "new/notes.txt").c_str(), O_RDWR | O_NONBLOCK);
        }
    });
    close(Writer);
    EXPECT_TRUE(Has(Sink, "Cannot read: same.txt: No such file or directory")) << Sink.Shown();
    EXPECT_TRUE(Has(Sink, "Cannot read: sub/: No such file or directory")) << Sink.Shown();
    EXPECT_TRUE(Has(Sink, "Cannot read: notes.txt: Not a regular file")) << Sink.Shown();
    EXPECT_TRUE(Sink.Status.ends_with(", 3 could not be read")) << Sink.Status;
}

// Reading small files a batch at a time, ahead of their lines, changes
// nothing in the report: the lines and kinds of reading each pair in its
// turn. The trees have folders of more pairs than a batch, files about a
// batch's head in size, binary files, and a folder chain deeper than the
// walk keeps open, with files before, in and after each folder of it.
TEST(FolderReport, BatchesReportAsPairsReadInTurn) {
    if (!TFileBatch().Ringed())
        GTEST_SKIP() << "no io_uring here: every pair is read in its turn";
    const fs::path Folder = MakeTestFolder();
    const std::size_t Head = TFileBatch::HeadBytes, Sizes[] = {9, Head - 1, Head, Head + 1};
    TRandom Random(18);
    for (int K = 0; K < 90; ++K) {
        std::string Bytes(Sizes[K % 4], 'x');
        for (char &C : Bytes)
            C = Random.Below(9) == 0 ? '\n' : char('a' + Random.Below(3));
        if (K % 10 == 0)
            Bytes[3] = '\0';
        const std::string Name = (K % 3 == 0 ? "" : "s" + std::to_string(K % 2) + "/") +
                                 std::string(K / 3, 'a') + std::to_string(K);
        if (K % 13 != 0)
            WriteBytes(Folder / "old" / Name, Bytes);
        Bytes[Bytes.size() / 2] ^= K % 4 == 0 ? 1 : 0;
        if (K % 17 != 0)
            WriteBytes(Folder / "new" / Name, K % 5 == 0 ? Bytes + "\n" : Bytes);
    }
    std::string Deep = "deep/";
    for (std::size_t Depth = 0; Depth < TFolderWalk::OpenFrames + 3; ++Depth, Deep += "b/")
        for (const char *Tree : {"old", "new"}) {
            WriteBytes(Folder / Tree / Deep / "a", Tree);
            WriteBytes(Folder / Tree / Deep / "c", std::to_string(Depth));
        }
    TCompareRequest Request{.FileName1 = (Folder / "old").string(),
                            .FileName2 = (Folder / "new").string()};
    // Each line with its kind in front.
    const auto Report = [&](TFolderReport::TReading Reading) {
        TRecordingSink Sink;
        TFolderReport(Request, Sink, Reading).Run();
        std::vector<std::string> Lines;
        for (const auto &Line : Sink.Lines)
            Lines.push_back(std::to_string(int(Line.Kind)) + " " + Line.Prefix + Line.Text);
        return Lines;
    };
    const std::vector<std::string> Batched = Report(TFolderReport::TReading::Batched),
                                   InTurn = Report(TFolderReport::TReading::InTurn);
    const auto Differ = std::mismatch(Batched.begin(), Batched.end(), InTurn.begin(), InTurn.end());
    EXPECT_TRUE(Differ.first == Batched.end() && Differ.second == InTurn.end())
        << "line " << Differ.first - Batched.begin() << ": "
        << (Differ.first == Batched.end() ? "(none)" : *Differ.first) << " against "
        << (Differ.second == InTurn.end() ? "(none)" : *Differ.second);
    for (const std::string &Line : Batched)
        EXPECT_EQ(Line.find("Cannot read"), std::string::npos) << Line;
}

// A folder beside a file stands for the file of that name in it, either
// way round, with the labels of the two files.
TEST(FolderReport, AFolderBesideAFileGivesItsFileOfThatName) {
    for (const bool FolderFirst : {true, false}) {
        TRecordingSink Sink;
        const std::string Folder = Basic + "old", File = Basic + "new/notes.txt";
        const TCompareOutcome Outcome = RunComparison(
            {.FileName1 = FolderFirst ? Folder : File, .FileName2 = FolderFirst ? File : Folder},
            Sink);
        EXPECT_EQ(FolderFirst ? Outcome.FileName1 : Outcome.FileName2, Basic + "old/notes.txt");
        EXPECT_EQ(Sink.Lines.size(), 8u);
        EXPECT_EQ(Outcome.Label1, FolderFirst ? "old/" : "new/");
        EXPECT_FALSE(Outcome.Folders);
    }
}

// A stop ends the run at the next path, or after the step in progress of a
// pair; a sink that refuses a line ends it too. No later path follows, and
// the status says the report is incomplete.
TEST(FolderReport, AStopOrAFullReportEndsTheRun) {
    for (const int StopAt : {3, 9, -1}) {
        TRecordingSink Sink;
        const auto Paths = [&] {
            return std::count_if(Sink.Lines.begin(), Sink.Lines.end(), [](const auto &Line) {
                return Line.Kind == TLineKind::Heading || Line.Prefix.starts_with("Only in");
            });
        };
        long PathsAtStop = 0;
        Sink.OnMessages = [&](auto, auto) {
            if (Sink.Deliveries == StopAt) {
                StopRequested = true;
                PathsAtStop = Paths();
            }
        };
        Sink.ThrowAfter = StopAt < 0 ? 5 : -1;
        const TCompareOutcome Outcome =
            RunComparison({.FileName1 = Basic + "old", .FileName2 = Basic + "new"}, Sink);
        EXPECT_EQ(Sink.Status, "Stopped: the report is incomplete") << StopAt;
        EXPECT_EQ(StopAt < 0 ? Sink.Lines.size() : std::size_t(Paths()),
                  StopAt < 0 ? 5u : std::size_t(PathsAtStop));
        EXPECT_EQ(Outcome.Broken, StopAt < 0);
    }
}

// Bytes first: equal files never reach the line walk, and a zero byte in
// the first 8,000 bytes of either file makes the pair binary.
TEST(ContentCheck, SameOrDifferentAndWhetherBinary) {
    const std::string Big(300000, 'x'), Nul("\0", 1);
    const std::tuple<std::string, std::string, TContents> Cases[] = {
        {"abc\n", "abc\n", TContents::Same},
        {"", "", TContents::Same},
        {"abc\n", "abd\n", TContents::TextDiffers},
        {"abc\n", "abc\nd", TContents::TextDiffers},
        {"ab" + Nul + "c", "ab" + Nul + "c", TContents::Same},
        {"ab" + Nul + "c", "abc", TContents::BinaryDiffers},
        {"abc", "ab" + Nul, TContents::BinaryDiffers},
        {std::string(7999, 'a') + Nul + "x", std::string(7999, 'a') + Nul + "y",
         TContents::BinaryDiffers},
        {std::string(8000, 'a') + Nul + "x", std::string(8000, 'a') + Nul + "y",
         TContents::TextDiffers},
        {Big, Big, TContents::Same},
        {Big + "1", Big + "2", TContents::TextDiffers},
    };
    const fs::path Folder = MakeTestFolder();
    TContentCheck Check;
    int Hooks = 0;
    const std::function<bool()> Counted = [&] { return ++Hooks > 0; };
    // Files 1 and Name2 of Folder.
    const auto CheckPair = [&](const char *Name2, const std::function<bool()> &Hook) {
        const fs::path Path1 = Folder / "1", Path2 = Folder / Name2;
        return Check.Check({AT_FDCWD, Path1.c_str()}, {AT_FDCWD, Path2.c_str()}, Hook);
    };
    for (const auto &[Bytes1, Bytes2, Expected] : Cases) {
        WriteBytes(Folder / "1", Bytes1);
        WriteBytes(Folder / "2", Bytes2);
        EXPECT_EQ(CheckPair("2", Counted).Contents, Expected)
            << Bytes1.size() << " " << Bytes2.size();
        EXPECT_EQ(TContentCheck::Compare(Bytes1, Bytes2), Expected) << Bytes1.size();
    }
    EXPECT_GE(Hooks, 8) << "a chunk of 64 KiB at a time";
    // Large files of different sizes are not read past their first chunks.
    WriteBytes(Folder / "2", Big + "1\n"); // 1 holds Big + "1"
    Hooks = 0;
    EXPECT_EQ(CheckPair("2", Counted).Contents, TContents::TextDiffers);
    EXPECT_EQ(Hooks, 0);
    const auto Missing = CheckPair("no", {});
    EXPECT_EQ(Missing.Contents, TContents::Unreadable);
    EXPECT_TRUE(Missing.Error == ENOENT && Missing.SecondFailed);
    EXPECT_EQ(CheckPair("1", [] { return false; }).Contents, TContents::Stopped);
}

// The files checked are closed a batch at a time: never a descriptor
// opened elsewhere meanwhile, and none left open at the end.
TEST(ContentCheck, ClosesItsOwnFilesAndNoOthers) {
    const std::string Name = WriteBytes(MakeTestFolder() / "f", "x\n");
    const auto OpenFiles = [] {
        const fs::directory_iterator Fds("/proc/self/fd");
        return std::distance(begin(Fds), end(Fds));
    };
    const auto Before = OpenFiles();
    std::vector<int> Others;
    {
        TContentCheck Check;
        for (int K = 0; K < 200; ++K) {
            Check.Check({AT_FDCWD, Name.c_str()}, {AT_FDCWD, Name.c_str()}, {});
            if (K % 7 == 0)
                Others.push_back(open("/dev/null", O_RDONLY));
        }
        for (const int Fd : Others)
            EXPECT_EQ(fcntl(Fd, F_GETFD), 0) << Fd;
    }
    for (const int Fd : Others)
        close(Fd);
    EXPECT_EQ(OpenFiles(), Before);
}

} // namespace
