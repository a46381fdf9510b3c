#include "FreshHome.h"
#include "TRegIniFile.h"

#include <csignal>
#include <fstream>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {

const std::string Root = "Brackwater Software\\Tarnwells";
constexpr int PollTimeoutMs = 20000;

// A settings_writer process, killed and reaped when it goes out of scope.
class Writer {
public:
    explicit Writer(std::vector<std::string> Arguments) {
        int pipeEnds[2];
        if (pipe(pipeEnds) != 0)
            return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
        Arguments.insert(Arguments.begin(), SETTINGS_WRITER);
        std::vector<char *> argv;
        for (auto &argument : Arguments)
            argv.push_back(argument.data());
        argv.push_back(nullptr);
        if (posix_spawn(&FPid, SETTINGS_WRITER, &actions, nullptr, argv.data(), environ) != 0)
            FPid = -1;
        posix_spawn_file_actions_destroy(&actions);
        close(pipeEnds[1]);
        FOut = pipeEnds[0];
    }
    ~Writer() {
        if (FPid > 0) {
            kill(FPid, SIGKILL);
            waitpid(FPid, nullptr, 0);
        }
        if (FOut >= 0)
            close(FOut);
    }
    Writer(const Writer &) = delete;
    Writer &operator=(const Writer &) = delete;

    bool Started() const { return FPid > 0; }

    // Reads the rounds it reports until it has reported Round; the last
    // round reported, or 0 when it stopped or went quiet first.
    long WaitForRound(long Round) {
        std::string pending;
        long last = 0;
        while (last < Round) {
            pollfd ready{FOut, POLLIN, 0};
            char buffer[256];
            if (poll(&ready, 1, PollTimeoutMs) <= 0)
                return 0;
            const ssize_t got = read(FOut, buffer, sizeof buffer);
            if (got <= 0)
                return 0;
            pending.append(buffer, static_cast<std::size_t>(got));
            for (auto end = pending.find('\n'); end != std::string::npos;
                 end = pending.find('\n')) {
                last = std::stol(pending.substr(0, end));
                pending.erase(0, end + 1);
            }
        }
        return last;
    }

    void KillHard() {
        kill(FPid, SIGKILL);
        waitpid(FPid, nullptr, 0);
        FPid = -1;
    }

    // The exit code, or -1 when it did not exit normally.
    int Wait() {
        int status = 0;
        waitpid(FPid, &status, 0);
        FPid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    pid_t FPid = -1;
    int FOut = -1;
};

} // namespace

using TwoProcesses = FreshHome;

TEST_F(TwoProcesses, AWriterKilledMidSaveLeavesWholeSavesOnly) {
    constexpr int Values = 100;
    for (int attempt = 0; attempt < 3; ++attempt) {
        long reported = 0;
        {
            Writer writer({"rounds", "Crash", std::to_string(Values)});
            ASSERT_TRUE(writer.Started());
            reported = writer.WaitForRound(5 + attempt * 7);
            ASSERT_GT(reported, 0) << "the writer stopped early";
            writer.KillHard();
        }
        DropConnection();
        EXPECT_EQ(RawQuery("PRAGMA integrity_check"), "ok");
        TRegIniFile store(Root);
        const int first = store.ReadInteger("Crash", "Value0", -1);
        // A save that returned is kept; one cut short left no trace.
        EXPECT_GE(first, reported);
        for (int i = 1; i < Values; ++i)
            ASSERT_EQ(store.ReadInteger("Crash", "Value" + std::to_string(i), -1), first)
                << "Value" << i;
    }
}

TEST_F(TwoProcesses, WritingAtOnceLosesNothingAndNeitherFails) {
    constexpr int Count = 1000;
    const std::string go = ConfigHome() + "/go";
    Writer first({"many", "A", std::to_string(Count), go});
    Writer second({"many", "B", std::to_string(Count), go});
    ASSERT_TRUE(first.Started() && second.Started());
    std::ofstream(go) << "go";
    // This process keeps reading and writing the same key meanwhile.
    TRegIniFile store(Root);
    for (int i = 0; i < 50; ++i) {
        store.WriteInteger("Shared", "Mine", i);
        store.ReadInteger("Shared", "A-0", 0);
    }
    EXPECT_EQ(first.Wait(), 0);
    EXPECT_EQ(second.Wait(), 0);

    std::vector<std::string> names;
    store.ReadSection("Shared", names);
    EXPECT_EQ(names.size(), 2u * Count + 1);
    for (int i = 0; i < Count; ++i) {
        ASSERT_EQ(store.ReadInteger("Shared", "A-" + std::to_string(i), -1), i);
        ASSERT_EQ(store.ReadInteger("Shared", "B-" + std::to_string(i), -1), i);
    }
    EXPECT_EQ(RawQuery("PRAGMA integrity_check"), "ok");
}
