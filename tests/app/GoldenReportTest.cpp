#include "AppTestSupport.h"
#include "GoldenCases.h"
#include "ReportText.h"
#include "TMyIniFile.h"
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

// The window writes reports only, and never reads standard input.
INSTANTIATE_TEST_SUITE_P(Golden, GoldenReportTest, testing::ValuesIn(GoldenRuns("usNC")),
                         GoldenRowName);
INSTANTIATE_TEST_SUITE_P(GoldenTrees, GoldenReportTest, testing::ValuesIn(GoldenTreeRuns()),
                         GoldenRowName);

} // namespace
