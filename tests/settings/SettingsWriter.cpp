// The other program of the start-up race: once the file <go-file> exists, it
// opens the hive its inherited environment names and prints what
// TRegistry::CheckHive reports (nothing when all is well).
#include "TRegistry.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>

int main(int argc, char **argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: settings_writer <go-file>\n");
        return 2;
    }
    while (!std::filesystem::exists(argv[1]))
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    try {
        TRegistry::CheckHive();
    } catch (const ERegistryException &e) {
        std::printf("%s\n", e.what());
    }
    return 0;
}
