#include "Compare.h"
#include "EngineTestSupport.h"
#include "GoldenCases.h"

#include <gtest/gtest.h>

namespace {

// Each golden case's whole report, as the engine writes it to a sink.
TEST(GoldenReports, TheEngineWritesTheExpectedReport) {
    const std::vector<TGoldenRun> Runs = GoldenRuns();
    ASSERT_GE(Runs.size(), 10u);
    for (const TGoldenRun &Run : Runs) {
        SCOPED_TRACE(Run.Case + " -" + Run.Options);
        const auto Has = [&](char Letter) { return Run.Options.find(Letter) != std::string::npos; };
        TRecordingSink Sink;
        RunComparison({.FileName1 = Run.First.string(),
                       .FileName2 = Run.Second.string(),
                       .OnlyDifferences = Has('d'),
                       .IgnoreBigNumbers = Has('n'),
                       .IgnoreCase = Has('i'),
                       .IgnoreWhiteSpace = Has('w')},
                      Sink);
        EXPECT_EQ(Sink.Shown(), Run.Expected);
    }
}

} // namespace
