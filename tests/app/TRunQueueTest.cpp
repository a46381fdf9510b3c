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
    return {.FileName1 = Name};
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

// A run asked for stops the run going and starts once it has unwound, the
// last of several winning; Stop drops a waiting run; Clear empties the
// report at once and again after the unwind, as the step in progress
// appended after the first emptying.
TEST_F(RunQueueTest, CommandsDuringARunWaitForItToUnwind) {
    const std::pair<const char *, const char *> cases[] = {
        {"b", "<A>A<B>B"}, {"bdb", "<A>A<B>B"}, {"db", "<A>A<B>B"},
        {"bs", "<A>A"},    {"bc", "<AC>AC"},    {"cb", "<AC>AC<B>B"}};
    for (const auto &[commands, log] : cases) {
        Log.clear();
        StopSeen = false;
        Commands = commands;
        Queue.Run(Of("A"));
        EXPECT_EQ(Log, log) << commands;
        EXPECT_TRUE(StopSeen) << commands;
        EXPECT_FALSE(Queue.Running() || Queue.Waiting()) << commands;
    }
}

// With no run going, Stop leaves the stop flag alone and Clear empties the
// report once.
TEST_F(RunQueueTest, StopAndClearWithNoRunGoing) {
    Queue.Stop();
    EXPECT_FALSE(StopRequested);
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
