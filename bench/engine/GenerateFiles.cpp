// Writes the benchmark's input files into a folder, always the same bytes:
//   big-a.txt, big-b.txt    1,000,000 lines of source-like text; b is a with
//                           1 % of the lines changed, deleted or inserted
//   apart-a.txt, apart-b.txt 200,000 lines each, no line in both files
//   logs-a.txt, logs-b.txt  1,000,000 lines of a service's log; b is a with
//                           every time of day different

#include <cstdint>
#include <cstdio>
#include <string>

namespace {

// splitmix64: the same sequence on every platform, unlike <random>'s
// distributions.
class TRandom {
public:
    explicit TRandom(std::uint64_t Seed) : FState(Seed) {}
    std::uint64_t Next() {
        std::uint64_t Z = (FState += 0x9E3779B97F4A7C15ull);
        Z = (Z ^ (Z >> 30)) * 0xBF58476D1CE4E5B9ull;
        Z = (Z ^ (Z >> 27)) * 0x94D049BB133111EBull;
        return Z ^ (Z >> 31);
    }
    unsigned Below(unsigned Limit) { return unsigned(Next() % Limit); }

private:
    std::uint64_t FState;
};

const char *const Words[] = {"int",    "return", "if",     "for",    "while",  "const",  "auto",
                             "value",  "count",  "index",  "buffer", "result", "name",   "size",
                             "offset", "line",   "text",   "next",   "first",  "second", "total",
                             "error",  "state",  "report", "block",  "store",  "file",   "length"};
constexpr unsigned WordCount = sizeof(Words) / sizeof(Words[0]);

const char *Word(TRandom &Random) {
    return Words[Random.Below(WordCount)];
}

// One line of C-like text, 30 bytes long on average.
std::string SourceLine(TRandom &Random) {
    std::string Line(4 * Random.Below(5), ' ');
    switch (Random.Below(10)) {
    case 0:
        return "";
    case 1:
        return Line + "}";
    case 2:
        Line += std::string("if (") + Word(Random) + " < " + Word(Random) + ") {";
        break;
    case 3:
        Line += std::string("return ") + Word(Random) + " + " + std::to_string(Random.Below(1000)) +
                ";";
        break;
    case 4:
        Line += std::string("// ") + Word(Random) + " " + Word(Random) + " " + Word(Random);
        break;
    default:
        Line += std::string(Word(Random)) + "_" + Word(Random) + " = " + Word(Random) + "(" +
                Word(Random) + ", " + std::to_string(Random.Below(100000)) + ");";
        break;
    }
    return Line;
}

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

bool WriteFile(const std::string &Name, const std::string &Text) {
    std::FILE *File = std::fopen(Name.c_str(), "wb");
    if (File == nullptr)
        return false;
    const bool Ok = std::fwrite(Text.data(), 1, Text.size(), File) == Text.size();
    return std::fclose(File) == 0 && Ok;
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
