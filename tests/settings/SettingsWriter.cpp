// A second process for the crash and contention tests; it writes to the hive
// named by the environment it inherits.
//   settings_writer rounds <section> <count>
//       round 1, 2, ...: writes Value0..Value<count-1> = the round number in
//       one transaction, then prints the round; runs until it is killed.
//   settings_writer many <tag> <count> <go-file>
//       waits for go-file, then writes <tag>-<i> = i for i below count, each
//       write standing on its own; exits 1 with the message on a failure.
#include "TRegIniFile.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>

namespace {

const std::string Root = "Brackwater Software\\Tarnwells";

int WriteRounds(const std::string &Section, int Count) {
    TRegIniFile store(Root);
    for (long round = 1;; ++round) {
        {
            TRegistryTransaction transaction;
            for (int i = 0; i < Count; ++i)
                store.WriteString(Section, "Value" + std::to_string(i), std::to_string(round));
            if (!transaction.Commit())
                throw ERegistryException("commit failed");
        }
        std::printf("%ld\n", round);
        std::fflush(stdout);
    }
}

int WriteMany(const std::string &Tag, int Count, const std::string &GoFile) {
    while (!std::filesystem::exists(GoFile))
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    TRegIniFile store(Root);
    for (int i = 0; i < Count; ++i)
        store.WriteInteger("Shared", Tag + "-" + std::to_string(i), i);
    return 0;
}

} // namespace

int main(int argc, char **argv) {
    try {
        const std::string mode = argc > 1 ? argv[1] : "";
        if (mode == "rounds" && argc == 4)
            return WriteRounds(argv[2], std::stoi(argv[3]));
        if (mode == "many" && argc == 5)
            return WriteMany(argv[2], std::stoi(argv[3]), argv[4]);
        std::fprintf(stderr, "usage: settings_writer rounds|many ...\n");
        return 2;
    } catch (const std::exception &e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
}
