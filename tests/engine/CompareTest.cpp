#include "Compare.h"
#include "EngineTestSupport.h"
#include "StoppedStatus.h"
#include "TCompareRequest.h"

#include <gtest/gtest.h>

namespace {

TEST(Labels, FileNamesWhenTheyDifferElseTheUnsharedFolders) {
    const char *const Cases[][4] = {
        {"C:\\proj\\old\\notes.txt", "C:\\proj\\new\\notes.txt", "old\\", "new\\"},
        {"C:\\data\\a.txt", "D:\\b.txt", "a.txt", "b.txt"},
        {"C:\\a\\x.txt", "C:\\a\\X.TXT", "", ""},
        {"C:\\a\\x.txt", "C:\\a\\b\\x.txt", "", "b\\"},
        {"C:\\Old\\src\\x.txt", "c:\\old\\SRC\\new\\x.txt", "", "new\\"},
        {"/srv/a/x.txt", "/srv/a/b/c/x.txt", "", "b/c/"},
        {"old/x.txt", "new\\x.txt", "old/", "new\\"},
        {"x.txt", "dir/x.txt", "", "dir/"},
        {"C:x.txt", "D:x.txt", "", ""},
        {"d\xc9/x", "d\xe9/x", "d\xc9/", "d\xe9/"}, // only a to z fold
    };
    for (const auto &Case : Cases)
        EXPECT_EQ(MakeLabels(Case[0], Case[1]),
                  std::make_pair(std::string(Case[2]), std::string(Case[3])))
            << Case[0] << " | " << Case[1];
}

// Whole reports of "x, same" against "y, same" under the names given,
// relative to a fresh folder, so the labels show exactly as passed.
TEST(Labels, WholeReportsCarryTheLabelsOfTheNamesAsGiven) {
    const char *const Cases[][3] = {
        {"old/notes.txt", "new/notes.txt", "old/   x\nnew/   y\n       same\n"},
        // An empty label would make a file's own lines look common.
        {"include/zlib.h", "include/node/zlib.h",
         "include/zlib.h        x\ninclude/node/zlib.h   y\n                      same\n"},
        {"x/notes.txt", "x/Notes.txt", "x/notes.txt   x\nx/Notes.txt   y\n              same\n"},
        // Padded by characters; an invalid byte counts as one.
        {"Gr\u00fc\u00dfe.txt", "\u00c4\u00d6\u00dc.txt",
         "Gr\u00fc\u00dfe.txt   x\n\u00c4\u00d6\u00dc.txt     y\n            same\n"},
        {"\xff\xe4.txt", "\xe2\x82\xac.txt",
         "\xff\xe4.txt   x\n\xe2\x82\xac.txt    y\n         same\n"},
        // A control byte would break the report's lines.
        {"new\nline\x7f.txt", "b.txt",
         "new?line?.txt   x\nb.txt           y\n                same\n"},
        // Labels equal once control bytes are "?": the full names, escaped.
        {"a\nb/x.txt", "a\rb/x.txt", "a\\nb/x.txt   x\na\\rb/x.txt   y\n             same\n"},
        {"t\tb/x",
         "t\x01"
         "b/x",
         "t\\tb/x     x\nt\\x01b/x   y\n           same\n"},
    };
    const auto Cwd = std::filesystem::current_path();
    std::filesystem::current_path(MakeTestFolder());
    for (const auto &[Name1, Name2, Expected] : Cases) {
        TRecordingSink Sink;
        RunComparison({.FileName1 = WriteBytes(Name1, "x\nsame\n"),
                       .FileName2 = WriteBytes(Name2, "y\nsame\n")},
                      Sink);
        EXPECT_EQ(Sink.Shown(), Expected) << Name1 << " | " << Name2;
    }
    std::filesystem::current_path(Cwd);
}

// Two files below a fresh folder.
std::pair<std::string, std::string> Write(const std::string &Text1, const std::string &Text2) {
    const auto Folder = MakeTestFolder();
    return {WriteBytes(Folder / "1", Text1), WriteBytes(Folder / "2", Text2)};
}

const std::string Notes1 = TARNWELL_TEST_DATA "/notes/a.txt",
                  Notes2 = TARNWELL_TEST_DATA "/notes/b.txt";

TEST(RunComparison, TheStatusAndOutcomeTellHowTheRunEnded) {
    const std::string Gone = (MakeTestFolder() / "gone").string();
    const struct {
        TCompareRequest Request;
        std::string Status;
        std::vector<std::size_t> Counts;
    } Cases[] = {
        {{.FileName1 = Notes1, .FileName2 = Notes2},
         "All Done: 1 line only in a.txt, 3 only in b.txt, 4 in both",
         {1, 3, 4}},
        {{.FileName1 = Notes2, .FileName2 = Notes1, .OnlyDifferences = true},
         "All Done: 3 lines only in b.txt, 1 only in a.txt, 4 in both",
         {3, 1, 4}},
        {{.FileName1 = Gone, .FileName2 = Notes1}, "Cannot read " + Gone, {0, 5, 0}},
        {{.FileName1 = Gone, .FileName2 = Gone + "2"},
         "Cannot read " + Gone + " and " + Gone + "2",
         {0, 0, 0}},
        {{.FileName1 = Gone, .FileName2 = Gone, .Compare = false}, "All Done", {0, 0, 0}},
    };
    for (const auto &Case : Cases) {
        TRecordingSink Sink;
        const TCompareOutcome Outcome = RunComparison(Case.Request, Sink);
        EXPECT_EQ(Sink.Status, Case.Status);
        EXPECT_TRUE(Outcome.Completed && !Outcome.Stopped && !Outcome.Broken) << Case.Status;
        EXPECT_EQ(std::vector({Outcome.OnlyInFirst, Outcome.OnlyInSecond, Outcome.Common}),
                  Case.Counts);
    }
}

// Patterns change how lines pair, not what the report shows: with -n too,
// the report shows a big number as 999999. A pattern that does not compile
// ends the run before anything is read; lines that hit the match limit are
// told in the status.
TEST(RunComparison, PatternsPairTheLinesAndTheStatusTellsOfTheirTrouble) {
    const auto Folder = MakeTestFolder();
    const std::string A = WriteBytes(Folder / "a.txt", "at 10:00 n=12345678\nsame\n"),
                      B = WriteBytes(Folder / "b.txt", "at 11:30 n=87654321\nsame\n");
    TRecordingSink Sink;
    RunComparison(
        {.FileName1 = A, .FileName2 = B, .IgnoreBigNumbers = true, .IgnoreText = {"[0-9]+:[0-9]+"}},
        Sink);
    EXPECT_EQ(Sink.Shown(), "        at 10:00 n=999999\n        same\n");
    const TCompareOutcome Outcome = RunComparison(
        {.FileName1 = A, .FileName2 = "/nonexistent", .IgnoreText = {"x", "("}}, Sink);
    EXPECT_EQ(Sink.Status, "Invalid pattern '(': missing closing parenthesis at offset 1");
    EXPECT_EQ(Outcome.LoadError2, 0) << "nothing is read";
    const std::string Runaway = std::string(30, 'a') + "b\n";
    RunComparison({.FileName1 = WriteBytes(Folder / "c.txt", Runaway),
                   .FileName2 = WriteBytes(Folder / "d.txt", Runaway + "x\n"),
                   .IgnoreText = {"(a+)+$"}},
                  Sink);
    EXPECT_EQ(Sink.Status, "All Done: 0 lines only in c.txt, 1 only in d.txt, 1 in both; the "
                           "patterns' match limit was hit on 2 lines; they compared unfiltered");
}

// An appending run puts the separator before its report; a clearing one
// empties the report.
TEST(RunComparison, AppendingAndClearingRuns) {
    const auto [Name1, Name2] = Write("x\n", "x\n");
    TRecordingSink Sink;
    for (int Run = 0; Run < 2; ++Run)
        RunComparison({.Clear = false, .FileName1 = Name1, .FileName2 = Name2}, Sink);
    EXPECT_EQ(Sink.Shown(),
              "\n" + std::string(62, '.') + "\n\n    x\n\n" + std::string(62, '.') + "\n\n    x\n");
    EXPECT_EQ(Sink.Lines[1].Kind, TLineKind::Separator);
    EXPECT_EQ(Sink.Clears, 0);
    RunComparison({.Clear = true, .FileName1 = Name1, .FileName2 = Name2, .Compare = false}, Sink);
    EXPECT_EQ(Sink.Shown(), "");
    EXPECT_EQ(Sink.Clears, 1);
}

// Each line carries where its text stands in the files: CR LF, CR and LF
// each end a line, and common lines left out still count.
TEST(RunComparison, EachLineCarriesItsNumbersInTheFiles) {
    const auto [Name1, Name2] = Write("a\r\nb\rc\nd\n", "a\nB\nc\nd\ne");
    for (const bool OnlyDifferences : {false, true}) {
        TRecordingSink Sink;
        RunComparison({.FileName1 = Name1, .FileName2 = Name2, .OnlyDifferences = OnlyDifferences},
                      Sink);
        std::string Numbers;
        for (const auto &Line : Sink.Lines)
            Numbers += std::to_string(Line.Numbers.First) + ":" +
                       std::to_string(Line.Numbers.Second) + " ";
        EXPECT_EQ(Numbers, OnlyDifferences ? "2:0 0:2 0:5 " : "1:1 2:0 0:2 3:3 4:4 0:5 ");
    }
    TRecordingSink Appended;
    RunComparison({.Clear = false, .FileName1 = Name1, .FileName2 = Name2}, Appended);
    EXPECT_EQ(Appended.Lines[1].Numbers.First + Appended.Lines[1].Numbers.Second, 0u);
}

// Stop requests outlive a test: none may reach the next.
class StopTest : public testing::Test {
protected:
    void TearDown() override { StopRequested = false; }
};

TEST_F(StopTest, AStopEndsTheWalkAfterTheStepInProgress) {
    // The first step reports p, q and r at once: "a" reappears 3 lines ahead
    // in the second file, "p" 5 lines ahead in the first.
    const auto [Name1, Name2] = Write("a\nx\ny\nz\nw\np\n", "p\nq\nr\na\ns\n");
    TRecordingSink Sink;
    Sink.OnMessages = [](std::size_t, std::size_t) { StopRequested = true; };
    RunComparison({.FileName1 = Name1, .FileName2 = Name2}, Sink);
    EXPECT_EQ(Sink.Shown(), "2   p\n2   q\n2   r\n");
    EXPECT_EQ(Sink.Deliveries, 1);
    // Three of the eleven lines of both files were walked.
    EXPECT_EQ(Sink.Status, "Stopped at 27 %: the report is incomplete");
}

// A run whose first file cannot be read and whose second has three lines,
// stopped at the delivery before the second of them: in a tail the line
// after the stop still goes, and the status says the run stopped even
// though a file was unreadable.
TEST_F(StopTest, InATailTheLineAfterTheStopStillGoes) {
    TRecordingSink Sink;
    Sink.OnMessages = [](std::size_t Done, std::size_t Total) {
        StopRequested = Done == 1 && Total == 3;
    };
    const TCompareOutcome Outcome =
        RunComparison({.FileName1 = (MakeTestFolder() / "missing").string(),
                       .FileName2 = Write("a\nb\nc\n", "").first},
                      Sink);
    ASSERT_EQ(Sink.Lines.size(), 2u);
    EXPECT_EQ(Sink.Lines[1].Text, "b");
    EXPECT_TRUE(Outcome.Stopped && !Outcome.Completed);
    // Not "Cannot read": the report is cut short, after two of three lines.
    EXPECT_EQ(Sink.Status, "Stopped at 66 %: the report is incomplete");
}

// Events are delivered about every mebibyte while large files (of 3 MiB:
// many lines, and one long line) load. A stop given then ends the run
// before the other file is read or a line goes out; also in the middle of
// a long line.
TEST_F(StopTest, EventsWhileLargeFilesLoadAndAStopThere) {
    std::string Text;
    while (Text.size() < (std::size_t(3) << 20))
        Text += "a line of a large file\n";
    const auto [Lines, LongLine] = Write(Text, std::string(std::size_t(3) << 20, 'x'));
    for (const bool Stop : {false, true})
        for (const std::string &First : {Lines, LongLine}) {
            TRecordingSink Sink;
            int WhileLoading = 0;
            Sink.OnMessages = [&](std::size_t, std::size_t Total) {
                WhileLoading += Total == 0, StopRequested = Stop;
            };
            const TCompareOutcome Outcome =
                RunComparison({.FileName1 = First, .FileName2 = LongLine}, Sink);
            if (!Stop) {
                EXPECT_GE(WhileLoading, 4);
                EXPECT_TRUE(!Sink.Lines.empty() && !Outcome.Stopped);
                continue;
            }
            EXPECT_EQ(WhileLoading, 1);
            EXPECT_TRUE(Sink.Lines.empty());
            EXPECT_TRUE(Outcome.Stopped);
            EXPECT_EQ(Sink.Status, "Stopped at 0 %: the report is incomplete");
        }
}

TEST(RunComparison, ASinkThatThrowsEndsTheRunQuietly) {
    TRecordingSink All;
    RunComparison({.FileName1 = Notes1, .FileName2 = Notes2}, All);
    // The lines kept, and the percent of the twelve lines of both files
    // walked (a common line counts in each).
    for (const auto &[Limit, Percent] : {std::pair{0, 0}, {3, 41}, {7, 91}}) {
        TRecordingSink Sink;
        Sink.ThrowAfter = Limit;
        const TCompareOutcome Outcome =
            RunComparison({.FileName1 = Notes1, .FileName2 = Notes2}, Sink);
        EXPECT_EQ(All.Shown().rfind(Sink.Shown(), 0), 0u);
        EXPECT_EQ(Sink.Lines.size(), std::size_t(Limit));
        EXPECT_EQ(Sink.Status, StoppedStatus(Percent, 100));
        EXPECT_TRUE(Outcome.Broken && Outcome.Stopped);
    }
}

} // namespace
