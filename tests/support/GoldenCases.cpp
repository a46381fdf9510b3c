#include "GoldenCases.h"

#include <algorithm>
#include <fstream>
#include <ostream>
#include <tuple>

std::string ReadWholeFile(const std::filesystem::path &Path) {
    std::ifstream In(Path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(In), {});
}

std::vector<TGoldenRun> GoldenRuns() {
    std::vector<TGoldenRun> Runs = GoldenToolRuns();
    std::erase_if(Runs, [](const TGoldenRun &Run) {
        return Run.Options.find_first_of("NC") != std::string::npos;
    });
    return Runs;
}

std::vector<std::string> GoldenToolOptions(const TGoldenRun &Run) {
    std::string Letters = Run.Options;
    std::vector<std::string> Options;
    if (std::erase(Letters, 'C') != 0)
        Options.push_back("--color=always");
    if (!Letters.empty())
        Options.push_back("-" + Letters);
    return Options;
}

std::vector<TGoldenRun> GoldenToolRuns() {
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

TCompareRequest GoldenRequest(const TGoldenRun &Run) {
    const auto Has = [&](char Letter) { return Run.Options.find(Letter) != std::string::npos; };
    return {.FileName1 = Run.First.string(),
            .FileName2 = Run.Second.string(),
            .OnlyDifferences = Has('d'),
            .IgnoreBigNumbers = Has('n'),
            .IgnoreCase = Has('i'),
            .IgnoreWhiteSpace = Has('w')};
}

std::string GoldenRowName(const testing::TestParamInfo<TGoldenRun> &Row) {
    std::string Name = Row.param.Case + (Row.param.Options.empty() ? "" : "_" + Row.param.Options);
    std::replace(Name.begin(), Name.end(), '-', '_');
    return Name;
}

void PrintTo(const TGoldenRun &Run, std::ostream *Out) {
    *Out << Run.Case << (Run.Options.empty() ? "" : " -" + Run.Options);
}
