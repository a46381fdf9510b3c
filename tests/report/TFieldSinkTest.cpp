#include "TFieldSink.h"

#include "Compare.h"
#include "EngineTestSupport.h"
#include "GoldenCases.h"
#include "ReportTestSupport.h"
#include "ReportText.h"
#include "TReportLines.h"

#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTextBlock>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

class FieldSinkTest : public ::testing::Test {
protected:
    QPlainTextEdit Field;
    QStatusBar Status;
    TFieldSink Sink{&Field, &Status};
};

QString Cut(qsizetype Count) {
    return QStringLiteral(" [\u2026 %1 more characters cut]").arg(Count);
}

// Many deliveries of lines of every kind mixed: the control ends up with
// exactly the engine's report.
TEST_F(FieldSinkTest, WholeRunShowsExactlyTheEngineReport) {
    // The second file drops, changes and inserts lines of the first; some
    // lines are Latin-1 rather than UTF-8.
    QByteArray first, second;
    for (int i = 0; i < 20000; ++i) {
        const QByteArray line =
            "line " + QByteArray::number(i) + (i % 97 ? " \xC3\xA9t\xC3\xA9" : " caf\xE9");
        first += line + '\n';
        if (i % 31 != 0)
            second += line + (i % 13 ? "\n" : " changed\n");
        if (i % 101 == 0)
            second += "inserted\n";
    }
    const TCompareRequest request{
        .FileName1 = WriteScratchFile(QStringLiteral("sink/a.txt"), first).toStdString(),
        .FileName2 = WriteScratchFile(QStringLiteral("sink/b.txt"), second).toStdString()};
    TRecordingSink engine;
    RunComparison(request, engine);
    ASSERT_GT(engine.Lines.size(), 20000u);
    // The engine's lines, decoded as the window shows them.
    QStringList expected;
    for (const auto &line : engine.Lines) {
        AppendReportText(expected.emplace_back(), line.Prefix);
        AppendReportText(expected.back(), line.Text);
    }
    Sink.BeginRun();
    RunComparison(request, Sink);
    EXPECT_EQ(ReportLines(&Field), expected);
}

// The gutter's columns are as wide as the files' line counts from the
// start of the run, whatever lines the report shows ("-d" leaves out the
// last ones), so the text control is not laid out again as numbers grow.
TEST_F(FieldSinkTest, NumberColumnsTakeTheFilesLineCounts) {
    const TCompareRequest request{
        .FileName1 =
            WriteScratchFile(QStringLiteral("sink/w1.txt"), "a\nb\nc\nd\ne\nf\ng\nh\ni\nj\nk\n")
                .toStdString(),
        .FileName2 = WriteScratchFile(QStringLiteral("sink/w2.txt"), "a\nB\nc\n").toStdString(),
        .OnlyDifferences = true};
    Sink.BeginRun();
    RunComparison(request, Sink);
    const TLineNumbers largest = TReportLines::Of(Field.document()).Largest();
    EXPECT_EQ(largest.First, 11u);
    EXPECT_EQ(largest.Second, 3u);
}

// Lines follow the text typed into the report. A line shows as UTF-8 when it
// is well-formed, else byte by byte as Latin-1; the window shows at most
// 100,000 characters of it, prefix included, counted as decoded.
TEST_F(FieldSinkTest, LinesAreDecodedAndLongOnesCut) {
    Sink.AppendLine("a  ", "lost", TLineKind::OnlyInFirst, {});
    Sink.Clear(); // the buffered line too
    Field.setPlainText(QStringLiteral("typed"));
    QStringList expected{"typed"};
    Sink.BeginRun();
    Sink.AppendLine("b  ", "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80", TLineKind::OnlyInSecond,
                    {});
    expected << QStringLiteral("b  caf\u00E9 \u20AC \U0001F600");
    // Latin-1, a stray continuation, overlong forms, a surrogate (not
    // U+D800: the control shows U+00A0 as a space), above U+10FFFF, cut
    // short, a bad follower, UTF-8 mixed with Latin-1.
    for (const char *bad : {"caf\xE9", "a\x80z", "\xC0\xAF", "\xE0\x80\xAF", "\xED\xA1\x80",
                            "\xF4\x90\x80\x80", "x\xE2\x82", "\xC3(", "\xC3\xA9 and \xE9"}) {
        Sink.AppendLine("", bad, TLineKind::Common, {});
        expected << QString::fromLatin1(bad);
    }
    // A delivery of events shows every line appended so far, and the progress.
    QStringList seen;
    QTimer::singleShot(0, [&] { seen = ReportLines(&Field) << Status.currentMessage(); });
    Sink.ProcessMessages(25, 100);
    EXPECT_EQ(seen, QStringList(expected) << QStringLiteral("Comparing... 25%"));

    // Where within the characters the cut falls: ReportTextTest.
    const std::tuple<std::string, std::string, QString> cases[] = {
        {"a  ", std::string(99997, 'x'), "a  " + QString(99997, 'x')},
        {"a  ", std::string(99998, 'x'), "a  " + QString(99997, 'x') + Cut(1)},
        {"   ", std::string(10000000, 'y'), "   " + QString(99997, 'y') + Cut(9900003)},
    };
    for (const auto &[prefix, text, shown] : cases) {
        Sink.AppendLine(prefix, text, TLineKind::Common, {});
        expected << shown;
    }
    Sink.SetStatus("All Done");
    EXPECT_EQ(ReportLines(&Field), expected);
    EXPECT_EQ(Status.currentMessage(), QStringLiteral("All Done \u2014 2 long lines cut"));

    // The count belongs to one run.
    Sink.BeginRun();
    Sink.AppendLine("a  ", std::string(100000, 'z'), TLineKind::Common, {});
    Sink.SetStatus("All Done");
    EXPECT_EQ(Status.currentMessage(), QStringLiteral("All Done \u2014 1 long line cut"));
}

// A changed line cut for the screen is marked in the part shown, decoded as
// the whole line is: here as Latin-1, for a byte past the cut that is not
// UTF-8 (read as UTF-8, the marks would fall a character early).
TEST_F(FieldSinkTest, ACutLineIsMarkedWhereItIsShown) {
    const std::string tail = std::string(2 * TFieldSink::MaxLineLength, 'a') + "\xFF";
    Sink.BeginRun();
    Sink.AppendLine("a  ", "\xC3\xA9x" + tail, TLineKind::OnlyInFirst, {1, 0});
    Sink.AppendLine("b  ", "\xC3\xA9y" + tail, TLineKind::OnlyInSecond, {0, 1});
    Sink.SetStatus("All Done");
    QStringList marked;
    for (QTextBlock block = Field.document()->begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (IsMarked(it.fragment().charFormat()))
                marked << QString::number(it.fragment().position() - block.position()) + ':' +
                              it.fragment().text();
    EXPECT_EQ(marked, QStringList({"5:x", "5:y"}));
}

// Hands each line on to the window's sink and, when FlushEach, shows it at
// once, so that every mark comes when its line is on screen already.
struct TShowingSink : TReportSink {
    TFieldSink &Inner;
    bool FlushEach;
    std::size_t Lines1 = 0, Lines2 = 0;
    TShowingSink(TFieldSink &Sink, bool Flush) : Inner(Sink), FlushEach(Flush) {}
    void AppendLine(std::string_view Prefix, std::string_view Text, TLineKind Kind,
                    TLineNumbers Numbers) override {
        Inner.AppendLine(Prefix, Text, Kind, Numbers);
        if (FlushEach)
            Inner.Flush();
    }
    void Clear() override { Inner.Clear(); }
    void SetStatus(std::string_view Text) override { Inner.SetStatus(Text); }
    void ProcessMessages(std::size_t, std::size_t) override {}
    void FilesRead(std::size_t First, std::size_t Second) override {
        Lines1 = First;
        Lines2 = Second;
    }
};

// A number right-aligned to the width of Count, blanks for 0.
QString Column(std::size_t Number, std::size_t Count) {
    return (Number == 0 ? QString() : QString::number(Number))
        .rightJustified(QString::number(Count).size());
}

// The report as tarnwell-compare writes it with Options (N, C): from each
// block's text, kind, numbers and marked characters.
std::string AsTheToolWritesIt(const QPlainTextEdit &Field, const std::string &Options,
                              const TShowingSink &Sink) {
    const TReportLines &lines = TReportLines::Of(Field.document());
    const bool colours = Options.find('C') != std::string::npos;
    std::string report;
    for (QTextBlock block = Field.document()->begin(); block.isValid(); block = block.next()) {
        QString text;
        for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
            const bool marked = colours && IsMarked(fragment.fragment().charFormat());
            text += (marked ? QStringLiteral("\x1b[7m") : QString()) + fragment.fragment().text() +
                    (marked ? QStringLiteral("\x1b[27m") : QString());
        }
        if (Options.find('N') != std::string::npos) {
            const TLineNumbers numbers =
                lines.Numbers(block.blockNumber()).value_or(TLineNumbers{});
            text.insert(8, Column(numbers.First, Sink.Lines1) + ' ' +
                               Column(numbers.Second, Sink.Lines2) + QStringLiteral("  "));
        }
        const std::optional<TLineKind> kind = BlockKind(block);
        if (colours && (kind == TLineKind::OnlyInFirst || kind == TLineKind::OnlyInSecond))
            text = (kind == TLineKind::OnlyInFirst ? QStringLiteral("\x1b[31m")
                                                   : QStringLiteral("\x1b[32m")) +
                   text + QStringLiteral("\x1b[m");
        report += text.toStdString() + '\n';
    }
    return report;
}

class SinkGoldenTest : public testing::TestWithParam<TGoldenRun> {};

// The lines' numbers and marked characters in the window are the ones
// tarnwell-compare writes with -N and --color=always, whether a line is
// still waiting to be shown when its marks come or on screen already.
TEST_P(SinkGoldenTest, NumbersAndMarksAreTheTools) {
    const TGoldenRun &run = GetParam();
    for (const bool flushEach : {false, true}) {
        QPlainTextEdit field;
        QStatusBar status;
        TFieldSink sink(&field, &status);
        TShowingSink showing(sink, flushEach);
        RunComparison(GoldenRequest(run), showing);
        EXPECT_EQ(AsTheToolWritesIt(field, run.Options, showing), run.Expected)
            << (flushEach ? "each line shown at once" : "lines shown at the end");
        // Marks set on lines already shown are the report's, not the user's.
        EXPECT_FALSE(field.document()->isModified());
    }
}

// The runs whose reports only the tool writes: with N or C.
std::vector<TGoldenRun> ToolOnlyRuns() {
    std::vector<TGoldenRun> runs = GoldenRuns("");
    std::erase_if(runs, [](const TGoldenRun &Run) {
        return Run.Options.find_first_of("NC") == std::string::npos;
    });
    return runs;
}

INSTANTIATE_TEST_SUITE_P(Golden, SinkGoldenTest, testing::ValuesIn(ToolOnlyRuns()), GoldenRowName);

} // namespace
