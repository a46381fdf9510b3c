#include "GoldenCases.h"

#include <algorithm>
#include <fstream>
#include <sstream>
#include <tuple>

std::string ReadWholeFile(const std::filesystem::path &Path) {
    std::ostringstream Bytes;
    Bytes << std::ifstream(Path, std::ios::binary).rdbuf();
    return Bytes.str();
}

std::vector<TGoldenRun> GoldenRuns() {
    std::vector<TGoldenRun> Runs;
    for (const auto &Folder : std::filesystem::directory_iterator(TARNWELL_TEST_DATA)) {
        for (const auto &File : std::filesystem::directory_iterator(Folder.path())) {
            const std::string Name = File.path().filename().string();
            if (!Name.starts_with("expected") || !Name.ends_with(".txt"))
                continue;
            const std::string Options = Name.substr(8, Name.size() - 12);
            Runs.push_back({Folder.path().filename().string(), Folder.path() / "a.txt",
                            Folder.path() / "b.txt", Options.empty() ? Options : Options.substr(1),
                            ReadWholeFile(File.path())});
        }
    }
    std::sort(Runs.begin(), Runs.end(), [](const TGoldenRun &A, const TGoldenRun &B) {
        return std::tie(A.Case, A.Options) < std::tie(B.Case, B.Options);
    });
    return Runs;
}
