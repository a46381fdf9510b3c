#include "TRunQueue.h"

#include "Compare.h"

#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <stdexcept>
#include <string>
#include <string_view>

namespace {

TCompareRequest Of(const char *Name) {
    TCompareRequest request;
    request.FileName1 = Name;
    return request;
}

// A queue whose runs write "<NAME" when they start and ">NAME" when they
// end, and whose clears write "C". While the first run goes, Commands acts
// as the events delivered during its walk would, one letter a command: a
// run of file B (b), of file D (d), Stop (s), Clear (c).
class RunQueueTest : public ::testing::Test {
protected:
    std::string Log;
    const char *Commands = "";
    bool StopSeen = false;
    TRunQueue Queue{[this](const TCompareRequest &Request) { Run(Request); },
                    [this] { Log += "C"; }};

    void Run(const TCompareRequest &Request) {
        Log += '<';
        Log += Request.FileName1;
        const std::map<char, std::function<void()>> act = {{'b', [this] { Queue.Run(Of("B")); }},
                                                           {'d', [this] { Queue.Run(Of("D")); }},
                                                           {'s', [this] { Queue.Stop(); }},
                                                           {'c', [this] { Queue.Clear(); }}};
        for (const char command : std::string_view(std::exchange(Commands, "")))
            act.at(command)();
        StopSeen = StopSeen || StopRequested;
        Log += '>';
        Log += Request.FileName1;
    }
    void SetUp() override { StopRequested = false; }
    void TearDown() override { StopRequested = false; }
};

TEST_F(RunQueueTest, ARunAskedForDuringARunStopsItAndStartsOnceItHasUnwound) {
    Commands = "b";
    Queue.Run(Of("A"));
    EXPECT_EQ(Log, "<A>A<B>B");
    EXPECT_TRUE(StopSeen);
    EXPECT_FALSE(Queue.Running() || Queue.Waiting());
}

TEST_F(RunQueueTest, OfSeveralRunsAskedForDuringARunTheLastWins) {
    Commands = "bdb";
    Queue.Run(Of("A"));
    EXPECT_EQ(Log, "<A>A<B>B");
    Commands = "db";
    Log.clear();
    Queue.Run(Of("A"));
    EXPECT_EQ(Log, "<A>A<B>B");
}

TEST_F(RunQueueTest, StopEndsTheRunAndDropsAWaitingOne) {
    Commands = "bs";
    Queue.Run(Of("A"));
    EXPECT_EQ(Log, "<A>A");
    EXPECT_TRUE(StopSeen);
}

TEST_F(RunQueueTest, StopWithNoRunGoingLeavesTheStopFlagAlone) {
    Queue.Stop();
    EXPECT_FALSE(StopRequested);
}

// The step in progress appends after the first emptying, so the report is
// emptied again once the run has unwound; a run asked for before is dropped,
// one asked for after runs.
TEST_F(RunQueueTest, ClearDuringARunEmptiesTheReportNowAndAgainAfterTheRun) {
    Commands = "bc";
    Queue.Run(Of("A"));
    EXPECT_EQ(Log, "<AC>AC");
    EXPECT_TRUE(StopSeen);
    Log.clear();
    Commands = "cb";
    Queue.Run(Of("A"));
    EXPECT_EQ(Log, "<AC>AC<B>B");
}

TEST_F(RunQueueTest, ClearWithNoRunGoingEmptiesTheReportOnce) {
    Queue.Clear();
    EXPECT_EQ(Log, "C");
    EXPECT_FALSE(StopRequested);
}

TEST_F(RunQueueTest, ARunThatThrowsLeavesTheQueueReadyForTheNext) {
    TRunQueue queue([](const TCompareRequest &) { throw std::runtime_error("full"); }, [] {});
    EXPECT_THROW(queue.Run({}), std::runtime_error);
    EXPECT_FALSE(queue.Running());
    Queue.Run(Of("A"));
    EXPECT_EQ(Log, "<A>A");
}

} // namespace
