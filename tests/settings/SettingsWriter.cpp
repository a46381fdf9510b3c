// The second process of the crash and contention tests; it writes to the
// hive its inherited environment names.
//   rounds <section> <count>: round r = 1, 2, ... writes Value0.. = r in one
//       transaction, then prints r; until killed.
//   <tag> many <count> <go-file>: once go-file exists, writes <tag>-<i> = i,
//       each write on its own; exits 1 with the message on a failure.
#include "TRegIniFile.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>

int main(int argc, char **argv) {
    const std::string root = "Brackwater Software\\Tarnwells";
    const std::vector<std::string> args(argv + 1, argv + argc);
    try {
        TRegIniFile store(root);
        if (args.size() == 3 && args[0] == "rounds") {
            for (long round = 1;; ++round) {
                TRegistryTransaction transaction;
                for (int i = 0; i < std::stoi(args[2]); ++i)
                    store.WriteString(args[1], "Value" + std::to_string(i), std::to_string(round));
                if (!transaction.Commit())
                    throw ERegistryException("commit failed");
                std::printf("%ld\n", round);
                std::fflush(stdout);
            }
        }
        if (args.size() == 4 && args[1] == "many") {
            while (!std::filesystem::exists(args[3]))
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            for (int i = 0; i < std::stoi(args[2]); ++i)
                store.WriteInteger("Shared", args[0] + "-" + std::to_string(i), i);
            return 0;
        }
        std::fprintf(stderr, "usage: settings_writer rounds|<tag> many ...\n");
        return 2;
    } catch (const std::exception &e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
}
