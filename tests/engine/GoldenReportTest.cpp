#include "Compare.h"
#include "EngineTestSupport.h"
#include "GoldenCases.h"

#include <gtest/gtest.h>

namespace {

class GoldenReportTest : public testing::TestWithParam<TGoldenRun> {};

// The golden case's whole report, as the engine writes it to a sink.
TEST_P(GoldenReportTest, TheEngineWritesTheExpectedReport) {
    TRecordingSink Sink;
    RunComparison(GoldenRequest(GetParam()), Sink);
    EXPECT_EQ(Sink.Shown(), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(Golden, GoldenReportTest, testing::ValuesIn(GoldenRuns()), GoldenRowName);
INSTANTIATE_TEST_SUITE_P(GoldenTrees, GoldenReportTest, testing::ValuesIn(GoldenTreeRuns()),
                         GoldenRowName);

// A data folder read wrong would leave the suite above with no row at all.
TEST(GoldenCases, EveryCaseAndOptionSetIsARow) {
    EXPECT_GE(GoldenRuns().size(), 20u);
}

} // namespace
