// Writes the folder benchmark's two trees into FOLDER/tree-a and
// FOLDER/tree-b, always the same bytes: 5,000 files of source-like text,
// 200 lines long on average, in 300 folders. Of the files 5 % differ by a
// few lines, 1 % are only in tree-a and 1 % only in tree-b; six are binary
// (three of them differ); each tree has one symbolic link back to a folder
// above it.

#include "BenchText.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int FolderCount = 300;
constexpr int FileCount = 5000;
constexpr int BinaryCount = 6;

bool MakeFolder(const std::string &Name) {
    return mkdir(Name.c_str(), 0755) == 0 || errno == EEXIST;
}

// A few lines of Text changed, dropped or added.
std::string Changed(const std::string &Text, TRandom &Random) {
    std::vector<std::string> Lines;
    for (std::size_t At = 0, End; At < Text.size(); At = End + 1) {
        End = Text.find('\n', At);
        Lines.push_back(Text.substr(At, End - At));
    }
    for (unsigned Edits = 1 + Random.Below(3); Edits > 0; --Edits) {
        const std::size_t At = Random.Below(unsigned(Lines.size()));
        switch (Random.Below(3)) {
        case 0:
            Lines[At] += " // " + std::string(Word(Random));
            break;
        case 1:
            Lines.erase(Lines.begin() + long(At));
            break;
        default:
            Lines.insert(Lines.begin() + long(At), SourceLine(Random));
            break;
        }
    }
    std::string Result;
    for (const std::string &Line : Lines)
        Result += Line + "\n";
    return Result;
}

std::string Binary(TRandom &Random, std::size_t Size) {
    std::string Bytes(Size, '\0');
    for (char &Byte : Bytes)
        Byte = char(Random.Below(4) == 0 ? 0 : Random.Below(256));
    return Bytes;
}

} // namespace

int main(int Argc, char **Argv) {
    if (Argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", Argv[0]);
        return 2;
    }
    const std::string Trees[2] = {std::string(Argv[1]) + "/tree-a",
                                  std::string(Argv[1]) + "/tree-b"};
    TRandom Random(20261207);
    bool Ok = true;

    // Folder K hangs below one of the folders made before it.
    std::vector<std::string> Folders = {""};
    for (int K = 1; K < FolderCount; ++K)
        Folders.push_back(Folders[Random.Below(unsigned(K))] + Word(Random) + "-" +
                          std::to_string(K) + "/");
    for (const std::string &Tree : Trees)
        for (const std::string &Folder : Folders)
            Ok = MakeFolder(Tree + "/" + Folder) && Ok;

    for (int K = 0; K < FileCount; ++K) {
        const std::string Name =
            Folders[Random.Below(FolderCount)] + Word(Random) + "_" + std::to_string(K) + ".c";
        std::string Text;
        for (unsigned Lines = 100 + Random.Below(201); Lines > 0; --Lines)
            Text += SourceLine(Random) + "\n";
        const unsigned Fate = Random.Below(100);
        if (Fate != 1)
            Ok = WriteFile(Trees[0] + "/" + Name, Text) && Ok;
        if (Fate != 0)
            Ok = WriteFile(Trees[1] + "/" + Name,
                           Fate < 7 && Fate > 1 ? Changed(Text, Random) : Text) &&
                 Ok;
    }
    for (int K = 0; K < BinaryCount; ++K) {
        const std::string Name =
            Folders[Random.Below(FolderCount)] + "data_" + std::to_string(K) + ".bin";
        const std::string Bytes = Binary(Random, 4096 + Random.Below(8192));
        Ok = WriteFile(Trees[0] + "/" + Name, Bytes) && Ok;
        Ok = WriteFile(Trees[1] + "/" + Name, K % 2 == 0 ? Bytes : Binary(Random, Bytes.size())) &&
             Ok;
    }
    // The loop: a link in a folder two levels down to the folder above it.
    std::string Deep;
    for (const std::string &Folder : Folders)
        if (std::count(Folder.begin(), Folder.end(), '/') >= 2) {
            Deep = Folder;
            break;
        }
    for (const std::string &Tree : Trees)
        Ok = (symlink("..", (Tree + "/" + Deep + "up").c_str()) == 0 || errno == EEXIST) && Ok;
    if (!Ok) {
        std::perror(Argv[1]);
        return 1;
    }
    return 0;
}
