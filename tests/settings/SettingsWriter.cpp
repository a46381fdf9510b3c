// The other process of the tests with several programs at once; it uses the
// hive its inherited environment names.
//   <tag> many <count> <go-file>: once go-file exists, writes <tag>-<i> = i,
//       each write on its own; exits 1 with the message on a failure.
//   check <go-file>: once go-file exists, opens the hive and prints what
//       TRegistry::CheckHive reports (nothing when all is well).
#include "TRegIniFile.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>

int main(int argc, char **argv) {
    const std::string root = "Brackwater Software\\Tarnwells";
    const std::vector<std::string> args(argv + 1, argv + argc);
    const auto waitFor = [](const std::string &Go) {
        while (!std::filesystem::exists(Go))
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    };
    if (args.size() == 2 && args[0] == "check") {
        waitFor(args[1]);
        try {
            TRegistry::CheckHive();
        } catch (const ERegistryException &e) {
            std::printf("%s\n", e.what());
        }
        return 0;
    }
    try {
        TRegIniFile store(root);
        if (args.size() == 4 && args[1] == "many") {
            waitFor(args[3]);
            for (int i = 0; i < std::stoi(args[2]); ++i)
                store.WriteInteger("Shared", args[0] + "-" + std::to_string(i), i);
            return 0;
        }
        std::fprintf(stderr, "usage: settings_writer <tag> many|check ...\n");
        return 2;
    } catch (const std::exception &e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
}
