#include "GoldenCases.h"

#include <algorithm>
#include <fstream>
#include <tuple>

std::string ReadWholeFile(const std::filesystem::path &Path) {
    std::ifstream In(Path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(In), {});
}

std::vector<TGoldenRun> GoldenRuns() {
    std::vector<TGoldenRun> Runs;
    for (const auto &Folder : std::filesystem::directory_iterator(TARNWELL_TEST_DATA))
        for (const auto &File : std::filesystem::directory_iterator(Folder)) {
            const std::string Name = File.path().stem().string(); // expected[-LETTERS]
            if (Name.starts_with("expected") && File.path().extension() == ".txt")
                Runs.push_back({Folder.path().filename().string(), Folder.path() / "a.txt",
                                Folder.path() / "b.txt",
                                Name.substr(std::min<std::size_t>(Name.size(), 9)),
                                ReadWholeFile(File)});
        }
    std::sort(Runs.begin(), Runs.end(), [](const TGoldenRun &A, const TGoldenRun &B) {
        return std::tie(A.Case, A.Options) < std::tie(B.Case, B.Options);
    });
    return Runs;
}
