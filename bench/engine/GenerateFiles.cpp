// Writes the benchmark's input files into a folder, always the same bytes:
//   big-a.txt, big-b.txt    1,000,000 lines of source-like text; b is a with
//                           1 % of the lines changed, deleted or inserted
//   apart-a.txt, apart-b.txt 200,000 lines each, no line in both files

#include "BenchText.h"

#include <cstdio>
#include <string>

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
    if (!WriteFile(Folder + "/big-a.txt", A) || !WriteFile(Folder + "/big-b.txt", B) ||
        !WriteFile(Folder + "/apart-a.txt", C) || !WriteFile(Folder + "/apart-b.txt", D)) {
        std::perror(Folder.c_str());
        return 1;
    }
    return 0;
}
