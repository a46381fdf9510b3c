#include "Compare.h"
#include "EngineTestSupport.h"
#include "TCompareOutcome.h"

#include <gtest/gtest.h>

namespace {

using TLines = std::vector<std::string>;

TEST(TextBefore, TakesThePartBeforeTheFirstOccurrence) {
    EXPECT_EQ(TextBefore("C:\\proj\\old\\", "\\"), "C:");
    EXPECT_EQ(TextBefore("abcabc", "ca"), "ab");
    EXPECT_EQ(TextBefore("\\x", "\\"), "");
    EXPECT_EQ(TextBefore("no separator", "\\"), "");
    EXPECT_EQ(TextBefore("", "\\"), "");
}

TEST(PadRight, PadsToWidthPlusOne) {
    EXPECT_EQ(PadRight("a.txt", 7, ' '), "a.txt   ");
    EXPECT_EQ(PadRight("", 2, ' '), "   ");
    EXPECT_EQ(PadRight("abc", 3, '.'), "abc.");
    EXPECT_EQ(PadRight("abcd", 3, ' '), "abcd");
}

TEST(MakeLabels, FollowsTheFilePartsThenTheUnsharedFolders) {
    struct TCase {
        const char *Name1, *Name2, *Label1, *Label2;
    };
    const TCase Cases[] = {
        {"C:\\proj\\old\\notes.txt", "C:\\proj\\new\\notes.txt", "old\\", "new\\"},
        {"C:\\data\\a.txt", "D:\\b.txt", "a.txt", "b.txt"},
        {"a.txt", "b.txt", "a.txt", "b.txt"},
        {"C:\\a\\x.txt", "C:\\a\\x.txt", "", ""},
        {"C:\\a\\x.txt", "C:\\a\\X.TXT", "", ""},
        {"C:\\a\\x.txt", "C:\\a\\b\\x.txt", "", "b\\"},
        {"C:\\Old\\src\\x.txt", "c:\\old\\SRC\\new\\x.txt", "", "new\\"},
        {"C:\\Old\\x.txt", "c:\\OLD\\x.txt", "", ""},
        {"/home/me/old/notes.txt", "/home/me/new/notes.txt", "old/", "new/"},
        {"/srv/a/x.txt", "/srv/a/b/c/x.txt", "", "b/c/"},
        {"old/x.txt", "new\\x.txt", "old/", "new\\"},
        {"x.txt", "dir/x.txt", "", "dir/"},
        {"C:x.txt", "D:x.txt", "", ""},
        {"left/x.txt", "right/x.TXT", "left/", "right/"},
        // Only a to z fold: other bytes must match exactly.
        {"d\xc9/x", "d\xe9/x", "d\xc9/", "d\xe9/"},
    };
    for (const TCase &Case : Cases) {
        SCOPED_TRACE(std::string(Case.Name1) + " | " + Case.Name2);
        const auto [Label1, Label2] = MakeLabels(Case.Name1, Case.Name2);
        EXPECT_EQ(Label1, Case.Label1);
        EXPECT_EQ(Label2, Case.Label2);
    }
}

// Two files written below a fresh folder; names relative to it as given.
struct TFilePair {
    std::string Name1, Name2;
};

TFilePair WritePair(const std::string &Rel1, const TLines &Lines1, const std::string &Rel2,
                    const TLines &Lines2) {
    const auto Folder = MakeTestFolder();
    WriteBytes(Folder / Rel1, JoinLines(Lines1));
    WriteBytes(Folder / Rel2, JoinLines(Lines2));
    return {(Folder / Rel1).string(), (Folder / Rel2).string()};
}

TLines ReportOf(const TFilePair &Files, bool OnlyDifferences = false,
                bool IgnoreBigNumbers = false) {
    TRecordingSink Sink;
    RunComparison(Sink, true, Files.Name1, Files.Name2, true, OnlyDifferences, IgnoreBigNumbers);
    EXPECT_EQ(Sink.Status, "All Done");
    return Sink.Shown();
}

const TLines OldNotes = {"title", "one", "two", "three", "four"};
const TLines NewNotes = {"title", "zero", "one", "two", "THREE", "four", "five"};

TEST(CompareFiles, ReportsTheChangedNotesLineByLine) {
    const TFilePair Files =
        WritePair("proj/old/notes.txt", OldNotes, "proj/new/notes.txt", NewNotes);
    EXPECT_EQ(ReportOf(Files),
              (TLines{"       title", "new/   zero", "       one", "       two", "old/   three",
                      "new/   THREE", "       four", "new/   five"}));
    EXPECT_EQ(ReportOf(Files, true),
              (TLines{"new/   zero", "old/   three", "new/   THREE", "new/   five"}));
}

TEST(CompareFiles, TellsTheKindOfEveryLine) {
    const TFilePair Files =
        WritePair("proj/old/notes.txt", OldNotes, "proj/new/notes.txt", NewNotes);
    TRecordingSink Sink;
    CompareFiles(Files.Name1, Files.Name2, Sink, false, false);
    std::string Kinds;
    for (const auto &Line : Sink.Lines)
        Kinds += Line.Kind == TLineKind::Common        ? 'c'
                 : Line.Kind == TLineKind::OnlyInFirst ? '1'
                                                       : '2';
    EXPECT_EQ(Kinds, "c2cc12c2");
}

TEST(CompareFiles, ReportsAMovedLineBeforeTheLinesItJumpedOver) {
    const TFilePair Files = WritePair("data/a.txt", {"red", "green", "blue", "black"}, "data/b.txt",
                                      {"blue", "red", "green", "black"});
    EXPECT_EQ(ReportOf(Files), (TLines{"b.txt   blue", "        red", "        green",
                                       "a.txt   blue", "        black"}));
}

TEST(CompareFiles, OnATieReportsTheFirstFilesLinesFirst) {
    const TFilePair Files = WritePair("a", {"x", "y", "z"}, "b", {"y", "x", "z"});
    EXPECT_EQ(ReportOf(Files), (TLines{"a   x", "    y", "b   x", "    z"}));
}

TEST(CompareFiles, IdenticalFilesAreAllCommon) {
    const TLines Lines = {"same", "", "lines", "same"};
    const TFilePair Files = WritePair("p/x.txt", Lines, "q/x.txt", Lines);
    EXPECT_EQ(ReportOf(Files), (TLines{"     same", "     ", "     lines", "     same"}));
    EXPECT_EQ(ReportOf(Files, true), TLines{});
}

TEST(CompareFiles, AMissingFileComparesAsEmpty) {
    const auto Folder = MakeTestFolder();
    WriteBytes(Folder / "here.txt", "a\r\nb\r\n");
    const std::string Here = (Folder / "here.txt").string();
    const std::string Gone = (Folder / "gone.txt").string();
    EXPECT_EQ(ReportOf({Gone, Here}), (TLines{"here.txt   a", "here.txt   b"}));
    EXPECT_EQ(ReportOf({Here, Gone}), (TLines{"here.txt   a", "here.txt   b"}));
    EXPECT_EQ(ReportOf({Gone, Gone}), TLines{});
    EXPECT_EQ(ReportOf({Folder.string(), Here}), (TLines{"here.txt   a", "here.txt   b"}));

    TRecordingSink Sink;
    TCompareOutcome Outcome;
    RunComparison(Sink, true, Here, Gone, true, false, false, Outcome);
    EXPECT_EQ(Outcome.LoadError1, 0);
    EXPECT_EQ(Outcome.LoadError2, ENOENT);
    EXPECT_FALSE(Outcome.Broken);
}

// A file whose line "target" lies Gap lines ahead in the second file.
TLines LookAheadReport(int Gap) {
    TLines Second;
    for (int K = 0; K < Gap; ++K)
        Second.push_back("filler " + std::to_string(K));
    Second.push_back("target");
    Second.push_back("end");
    return ReportOf(WritePair("1", {"target", "end"}, "2", Second), true);
}

TEST(CompareFiles, PairsLinesWithinTheLookAheadOnly) {
    const TLines Near = LookAheadReport(LookAhead - 1);
    ASSERT_EQ(Near.size(), std::size_t(LookAhead - 1));
    EXPECT_EQ(Near.front(), "2   filler 0");
    EXPECT_EQ(Near.back(), "2   filler 98");

    const TLines Far = LookAheadReport(LookAhead);
    ASSERT_EQ(Far.size(), std::size_t(2 + LookAhead + 2));
    EXPECT_EQ(Far[0], "1   target");
    EXPECT_EQ(Far[1], "1   end");
    EXPECT_EQ(Far[2], "2   filler 0");
    EXPECT_EQ(Far[LookAhead + 2], "2   target");
    EXPECT_EQ(Far[LookAhead + 3], "2   end");
}

TEST(CompareFiles, IgnoringBigNumbersMakesTheirLinesCommon) {
    const TFilePair Files = WritePair("v1/log", {"start", "took 1234567 ms", "end"}, "v2/log",
                                      {"start", "took 7654321 ms", "end"});
    EXPECT_EQ(ReportOf(Files, false, true),
              (TLines{"      start", "      took 999999 ms", "      end"}));
    EXPECT_EQ(ReportOf(Files), (TLines{"      start", "v1/   took 1234567 ms",
                                       "v2/   took 7654321 ms", "      end"}));
}

TEST(RunComparison, AppendsTheSeparatorWhenNotClearing) {
    const TFilePair Files = WritePair("a", {"x"}, "b", {"x"});
    TRecordingSink Sink;
    RunComparison(Sink, false, Files.Name1, Files.Name2, true, false, false);
    RunComparison(Sink, false, Files.Name1, Files.Name2, true, false, false);
    const std::string Dots(62, '.');
    EXPECT_EQ(Sink.Shown(), (TLines{"", Dots, "", "    x", "", Dots, "", "    x"}));
    EXPECT_EQ(Sink.Lines[1].Kind, TLineKind::Separator);
    EXPECT_EQ(Sink.Clears, 0);

    RunComparison(Sink, true, Files.Name1, Files.Name2, false, false, false);
    EXPECT_EQ(Sink.Shown(), TLines{});
    EXPECT_EQ(Sink.Clears, 1);
    EXPECT_EQ(Sink.Status, "All Done");
}

TEST(RunComparison, StopFinishesTheStepInProgressAndSkipsTheTails) {
    // The first step reports p, q and r at once: "a" reappears 3 lines
    // ahead in the second file, "p" 5 lines ahead in the first.
    const TFilePair Files =
        WritePair("1", {"a", "x", "y", "z", "w", "p", "t1", "t2"}, "2", {"p", "q", "r", "a", "s"});
    TRecordingSink Sink;
    Sink.OnMessages = [](std::size_t, std::size_t) { StopRequested = true; };
    RunComparison(Sink, true, Files.Name1, Files.Name2, true, false, false);
    EXPECT_EQ(Sink.Shown(), (TLines{"2   p", "2   q", "2   r"}));
    EXPECT_EQ(Sink.Deliveries, 1);
    EXPECT_EQ(Sink.Status, "All Done");
    EXPECT_TRUE(StopRequested);

    // A stop left over from before has no effect on the next run.
    Sink.OnMessages = nullptr;
    RunComparison(Sink, true, Files.Name1, Files.Name2, true, false, false);
    EXPECT_EQ(Sink.Lines.size(), 12u);
}

TEST(RunComparison, StopInATailEndsItAfterThatLine) {
    const TFilePair Files = WritePair("1", {}, "2", {"a", "b", "c"});
    TRecordingSink Sink;
    Sink.OnMessages = [&](std::size_t Done, std::size_t Total) {
        EXPECT_EQ(Total, 3u);
        if (Done == 1)
            StopRequested = true;
    };
    RunComparison(Sink, true, Files.Name1, Files.Name2, true, false, false);
    EXPECT_EQ(Sink.Shown(), (TLines{"2   a", "2   b"}));
    EXPECT_EQ(Sink.Status, "All Done");
}

TEST(RunComparison, ASinkThatThrowsEndsTheRunQuietly) {
    const TFilePair Files =
        WritePair("proj/old/notes.txt", OldNotes, "proj/new/notes.txt", NewNotes);
    for (int Limit : {0, 3, 7}) {
        SCOPED_TRACE(Limit);
        TRecordingSink Sink;
        Sink.ThrowAfter = Limit;
        TCompareOutcome Outcome;
        EXPECT_NO_THROW(
            RunComparison(Sink, true, Files.Name1, Files.Name2, true, false, false, Outcome));
        const TLines All = ReportOf(Files);
        EXPECT_EQ(Sink.Shown(), TLines(All.begin(), All.begin() + Limit));
        EXPECT_EQ(Sink.Status, "All Done");
        EXPECT_TRUE(Outcome.Broken);
    }
}

TEST(RunComparison, ARunStartedFromTheMessageHookRunsToItsEndFirst) {
    const TFilePair Files = WritePair("1", {"a", "b"}, "2", {"a", "c"});
    TRecordingSink Sink;
    bool Nested = false;
    Sink.OnMessages = [&](std::size_t Done, std::size_t) {
        if (Done == 2 && !Nested) {
            Nested = true;
            RunComparison(Sink, false, Files.Name1, Files.Name2, true, true, false);
        }
    };
    RunComparison(Sink, true, Files.Name1, Files.Name2, true, false, false);
    const std::string Dots(62, '.');
    EXPECT_EQ(Sink.Shown(), (TLines{"    a", "", Dots, "", "1   b", "2   c", "1   b", "2   c"}));
}

} // namespace
