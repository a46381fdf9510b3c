// Writes the benchmark's input files into a folder, always the same bytes:
//   big-a.txt, big-b.txt    1,000,000 lines of source-like text; b is a with
//                           1 % of the lines changed, deleted or inserted
//   apart-a.txt, apart-b.txt 200,000 lines each, no line in both files
//   logs-a.txt, logs-b.txt  1,000,000 lines of a service's log; b is a with
//                           every time of day different

#include "BenchText.h"

#include <cstdio>
#include <string>

namespace {

// The time of day Seconds (and Millis) after midnight as the log writes it.
std::string TimeOfDay(unsigned Seconds, unsigned Millis) {
    char Text[16];
    std::snprintf(Text, sizeof Text, "%02u:%02u:%02u.%03u", Seconds / 3600 % 24, Seconds / 60 % 60,
                  Seconds % 60, Millis);
    return Text;
}

// One log line after its time of day, 60 bytes long on average.
std::string LogMessage(TRandom &Random) {
    const char *const Levels[] = {"INFO", "INFO", "INFO", "DEBUG", "WARN"};
    return std::string(" ") + Levels[Random.Below(5)] + " [worker-" +
           std::to_string(Random.Below(16)) + "] " + Word(Random) + " " + Word(Random) +
           " request " + std::to_string(Random.Below(100000)) + " done in " +
           std::to_string(Random.Below(500)) + " ms";
}

} // namespace

int main(int Argc, char **Argv) {
    if (Argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", Argv[0]);
        return 2;
    }
    const std::string Folder = Argv[1];
    TRandom Random(20261206);

    std::string A, B;
    for (int K = 0; K < 1000000; ++K) {
        const std::string Line = SourceLine(Random);
        A += Line + "\n";
        if (Random.Below(100) != 0) {
            B += Line + "\n";
            continue;
        }
        switch (Random.Below(3)) {
        case 0: // changed
            B += Line + " // " + Word(Random) + "\n";
            break;
        case 1: // deleted
            break;
        default: // inserted
            B += Line + "\n" + SourceLine(Random) + "\n";
            break;
        }
    }
    // No line of one file equals a line of the other: each file's lines end
    // in a character the other's never do.
    std::string C, D;
    for (int K = 0; K < 200000; ++K) {
        C += SourceLine(Random) + ";\n";
        D += SourceLine(Random) + ",\n";
    }
    // The same events logged by two runs: every time differs, by a shift
    // and by the milliseconds.
    std::string E, F;
    for (unsigned K = 0; K < 1000000; ++K) {
        const std::string Day = "2026-12-07 ", Message = LogMessage(Random);
        const unsigned Seconds = K / 12;
        E += Day + TimeOfDay(Seconds, Random.Below(1000)) + Message + "\n";
        F += Day + TimeOfDay(Seconds + 4021, Random.Below(1000)) + Message + "\n";
    }
    if (!WriteFile(Folder + "/big-a.txt", A) || !WriteFile(Folder + "/big-b.txt", B) ||
        !WriteFile(Folder + "/apart-a.txt", C) || !WriteFile(Folder + "/apart-b.txt", D) ||
        !WriteFile(Folder + "/logs-a.txt", E) || !WriteFile(Folder + "/logs-b.txt", F)) {
        std::perror(Folder.c_str());
        return 1;
    }
    return 0;
}
