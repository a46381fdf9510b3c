#include "AppTestSupport.h"
#include "GoldenCases.h"
#include "ReportText.h"
#include "TLineGutter.h"
#include "TMyIniFile.h"
#include "TMyStringList.h"
#include "TReportField.h"
#include "TReportLines.h"
#include "UCompareReport.h"
#include "UiChild.h"

namespace {

class GoldenReportTest : public AppTest, public testing::WithParamInterface<TGoldenRun> {};

// The golden case through the real report window: a run that empties the
// report shows the whole expected report, line by line as the window
// decodes the engine's bytes.
TEST_P(GoldenReportTest, TheReportWindowShowsTheExpectedReport) {
    const TGoldenRun &run = GetParam();
    auto report = OpenReport();
    auto *field = Child<QPlainTextEdit>(report, "resultField");
    field->setPlainText(QStringLiteral("left from before"));
    report->RunComparison(GoldenRequest(run));
    QStringList expected;
    for (std::size_t start = 0, end; (end = run.Expected.find('\n', start)) != std::string::npos;
         start = end + 1)
        AppendReportText(expected.emplace_back(),
                         std::string_view(run.Expected).substr(start, end - start));
    EXPECT_EQ(PlainTextLines(field), expected);
}

INSTANTIATE_TEST_SUITE_P(Golden, GoldenReportTest, testing::ValuesIn(GoldenRuns()), GoldenRowName);

class GoldenGutterTest : public AppTest, public testing::WithParamInterface<TGoldenRun> {};

// The lines a file is read as, as the comparison reads it.
std::size_t LinesOf(const std::filesystem::path &File) {
    TMyStringList lines;
    lines.LoadFromFile(File.string());
    return std::size_t(lines.Count());
}

// The gutter beside each line of the golden case shows the numbers that
// tarnwell-compare -N writes after the line's prefix (8 characters: the
// labels a.txt and b.txt), each in a column as wide as its greatest one.
TEST_P(GoldenGutterTest, TheGutterShowsTheNumbersOfTheTool) {
    const TGoldenRun &run = GetParam();
    auto report = OpenReport();
    report->RunComparison(GoldenRequest(run));
    auto *field = Child<TReportField>(report, "resultField");
    const qsizetype width1 = QString::number(LinesOf(run.First)).size();
    const qsizetype width2 = QString::number(LinesOf(run.Second)).size();
    const QStringList expected = QString::fromUtf8(run.Expected).split('\n');
    ASSERT_EQ(expected.size() - 1, field->document()->blockCount());
    const TLineNumbers largest = TReportLines::Of(field->document()).Largest();
    for (int block = 0; block < field->document()->blockCount(); ++block) {
        const QString line = expected[block];
        const TLineNumbers numbers{line.mid(8, width1).trimmed().toULongLong(),
                                   line.mid(8 + width1 + 1, width2).trimmed().toULongLong()};
        EXPECT_EQ(field->Gutter()->LineText(block), TLineGutter::Columns(numbers, largest))
            << line.toStdString();
    }
}

// The runs -N numbers.
std::vector<TGoldenRun> NumberedRuns() {
    std::vector<TGoldenRun> runs = GoldenToolRuns();
    std::erase_if(runs,
                  [](const TGoldenRun &Run) { return Run.Options != "N" && Run.Options != "dN"; });
    return runs;
}

INSTANTIATE_TEST_SUITE_P(Golden, GoldenGutterTest, testing::ValuesIn(NumberedRuns()),
                         GoldenRowName);

} // namespace
