#pragma once

// The benchmarks' generated text: a seeded random sequence and lines of
// C-like source, the same bytes on every platform.

#include <cstdint>
#include <cstdio>
#include <string>

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

inline const char *Word(TRandom &Random) {
    static const char *const Words[] = {"int",   "return", "if",     "for",   "while",  "const",
                                        "auto",  "value",  "count",  "index", "buffer", "result",
                                        "name",  "size",   "offset", "line",  "text",   "next",
                                        "first", "second", "total",  "error", "state",  "report",
                                        "block", "store",  "file",   "length"};
    return Words[Random.Below(sizeof(Words) / sizeof(Words[0]))];
}

// One line of C-like text, 30 bytes long on average.
inline std::string SourceLine(TRandom &Random) {
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

inline bool WriteFile(const std::string &Name, const std::string &Text) {
    std::FILE *File = std::fopen(Name.c_str(), "wb");
    if (File == nullptr)
        return false;
    const bool Ok = std::fwrite(Text.data(), 1, Text.size(), File) == Text.size();
    return std::fclose(File) == 0 && Ok;
}
