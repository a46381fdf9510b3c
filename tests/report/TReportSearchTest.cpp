#include "TReportSearch.h"

#include "ReportTestSupport.h"

#include <QCoreApplication>
#include <QTextBlock>
#include <QTextDocument>
#include <gtest/gtest.h>
#include <optional>

namespace {

// The report the searches run over.
const QStringList Report{"alpha beta", "Beta gamma", "delta", "beta end"};

struct TSearchCase {
    const char *Name;
    QString Text;
    bool MatchCase;
    bool Backward;
    int Line, Column;             // where the search starts
    std::optional<int> FoundLine; // none: nothing found
    int FoundColumn = 0;
    bool Wrapped = false;
};

class ReportSearchTest : public testing::TestWithParam<TSearchCase> {};

TEST_P(ReportSearchTest, FindsTheNextMatchWrappingAround) {
    const TSearchCase &c = GetParam();
    QTextDocument document(Report.join('\n'));
    TReportSearch search(&document);
    std::optional<std::pair<int, bool>> found;
    bool notFound = false;
    QObject::connect(&search, &TReportSearch::Found, [&](int Position, int Length, bool Wrapped) {
        EXPECT_EQ(Length, c.Text.size());
        found = {Position, Wrapped};
    });
    QObject::connect(&search, &TReportSearch::NotFound, [&] { notFound = true; });
    search.Start({.Text = c.Text,
                  .MatchCase = c.MatchCase,
                  .Backward = c.Backward,
                  .From = document.findBlockByNumber(c.Line).position() + c.Column});
    while (search.Running())
        QCoreApplication::processEvents();
    if (!c.FoundLine) {
        EXPECT_TRUE(notFound && !found);
        return;
    }
    ASSERT_TRUE(found && !notFound);
    EXPECT_EQ(found->first, document.findBlockByNumber(*c.FoundLine).position() + c.FoundColumn);
    EXPECT_EQ(found->second, c.Wrapped);
}

INSTANTIATE_TEST_SUITE_P(
    Searches, ReportSearchTest,
    testing::Values(TSearchCase{"AtTheStartItself", "alpha", false, false, 0, 0, 0, 0},
                    TSearchCase{"ForwardAnyCase", "beta", false, false, 0, 7, 1, 0},
                    TSearchCase{"ForwardMatchingCase", "beta", true, false, 0, 7, 3, 0},
                    TSearchCase{"ForwardWrapsToTheTop", "alpha", false, false, 1, 0, 0, 0, true},
                    TSearchCase{"ForwardWrapsIntoTheStartLine", "alpha", true, false, 0, 1, 0, 0,
                                true},
                    TSearchCase{"BackwardFindsTheLastBefore", "beta", false, true, 3, 0, 1, 0},
                    TSearchCase{"BackwardWithinTheStartLine", "a", false, true, 2, 5, 2, 4},
                    TSearchCase{"BackwardWrapsToTheEnd", "end", false, true, 0, 0, 3, 5, true},
                    TSearchCase{"BackwardFindsItselfLast", "delta", false, true, 2, 0, 2, 0, true},
                    TSearchCase{"NoMatch", "omega", false, false, 1, 2, std::nullopt},
                    TSearchCase{"NoMatchInThatCase", "ALPHA", true, true, 2, 0, std::nullopt}),
    [](const testing::TestParamInfo<TSearchCase> &Row) { return std::string(Row.param.Name); });

// A search over many lines goes a slice at a time: the event loop runs in
// between, and what it finds is the same.
TEST(ReportSearch, ALongSearchLetsTheEventLoopRun) {
    QStringList lines;
    for (int k = 0; k < 300000; ++k)
        lines << QStringLiteral("line %1 of the report").arg(k);
    lines << QStringLiteral("the needle");
    QTextDocument document(lines.join('\n'));
    TReportSearch search(&document);
    int found = -1;
    QObject::connect(&search, &TReportSearch::Found,
                     [&](int Position, int, bool) { found = Position; });
    search.Start({.Text = QStringLiteral("needle")});
    EXPECT_TRUE(search.Running()) << "the first slice must not take the whole report";
    int rounds = 0;
    while (search.Running()) {
        QCoreApplication::processEvents();
        ++rounds;
    }
    EXPECT_GT(rounds, 1);
    EXPECT_EQ(found, document.lastBlock().position() + 4);
}

} // namespace
