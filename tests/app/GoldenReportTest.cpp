#include "AppTestSupport.h"
#include "GoldenCases.h"
#include "ReportText.h"
#include "TMyIniFile.h"
#include "UCompareReport.h"
#include "UiChild.h"

namespace {

class GoldenReportTest : public AppTest {};

// Each golden case through the real report window: a run that empties the
// report shows the whole expected report, line by line as the window
// decodes the engine's bytes.
TEST_F(GoldenReportTest, TheReportWindowShowsTheExpectedReport) {
    const std::vector<TGoldenRun> runs = GoldenRuns();
    ASSERT_FALSE(runs.empty()) << "no golden case in " TARNWELL_TEST_DATA;
    auto report = OpenReport();
    auto *field = Child<QPlainTextEdit>(report, "resultField");
    field->setPlainText(QStringLiteral("left from before"));
    for (const TGoldenRun &run : runs) {
        SCOPED_TRACE(run.Case + " -" + run.Options);
        const auto has = [&](char Letter) { return run.Options.find(Letter) != std::string::npos; };
        report->RunComparison({.FileName1 = run.First.string(),
                               .FileName2 = run.Second.string(),
                               .OnlyDifferences = has('d'),
                               .IgnoreBigNumbers = has('n'),
                               .IgnoreCase = has('i'),
                               .IgnoreWhiteSpace = has('w')});
        QStringList expected;
        for (std::size_t start = 0, end;
             (end = run.Expected.find('\n', start)) != std::string::npos; start = end + 1)
            AppendReportText(expected.emplace_back(),
                             std::string_view(run.Expected).substr(start, end - start));
        EXPECT_EQ(PlainTextLines(field), expected);
    }
}

} // namespace
