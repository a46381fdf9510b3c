#include "Compare.h"
#include "EngineTestSupport.h"
#include "GoldenCases.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

class GoldenReportTest : public testing::TestWithParam<TGoldenRun> {};

// The golden case's whole report, as the engine writes it to a sink, or
// its whole unified diff.
TEST_P(GoldenReportTest, TheEngineWritesTheExpectedReport) {
    const TGoldenRun &Run = GetParam();
    TCompareRequest Request = GoldenRequest(Run);
    const int Input = Run.Has('s') ? open(Run.Second.c_str(), O_RDONLY) : -1;
    Request.StandardInput = Input;
    if (Run.Has('u')) {
        std::string Diff;
        WriteUnifiedDiff(Request, GoldenUnifiedOptions(),
                         [&](std::string_view Bytes) { Diff += Bytes; });
        EXPECT_EQ(Diff, Run.Expected);
    } else {
        TRecordingSink Sink;
        RunComparison(Request, Sink);
        EXPECT_EQ(Sink.Shown(), Run.Expected);
    }
    if (Input >= 0)
        close(Input);
}

INSTANTIATE_TEST_SUITE_P(Golden, GoldenReportTest, testing::ValuesIn(GoldenRuns()), GoldenRowName);
INSTANTIATE_TEST_SUITE_P(GoldenTrees, GoldenReportTest, testing::ValuesIn(GoldenTreeRuns()),
                         GoldenRowName);

// A data folder read wrong would leave the suite above with no row at all.
TEST(GoldenCases, EveryCaseAndOptionSetIsARow) {
    EXPECT_GE(GoldenRuns().size(), 20u);
}

} // namespace
