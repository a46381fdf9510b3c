// The other program of the start-up race: once the file <go-file> exists, it
// opens the hive its inherited environment names, prints what
// TRegistry::CheckHive reports (nothing when all is well), then writes
// <tag>-<i> = i for i below 300, each write on its own.
#include "TRegIniFile.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>

int main(int argc, char **argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: settings_writer <go-file> <tag>\n");
        return 2;
    }
    while (!std::filesystem::exists(argv[1]))
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    try {
        TRegistry::CheckHive();
    } catch (const ERegistryException &e) {
        std::printf("%s\n", e.what());
    }
    try {
        TRegIniFile store("Brackwater Software\\Tarnwells");
        for (int i = 0; i < 300; ++i)
            store.WriteInteger("Shared", std::string(argv[2]) + "-" + std::to_string(i), i);
    } catch (const std::exception &e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
