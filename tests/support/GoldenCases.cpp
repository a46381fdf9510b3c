#include "GoldenCases.h"

#include <algorithm>
#include <fstream>
#include <ostream>
#include <tuple>

namespace {

// The runs of the case folders in Root, which compare First with Second;
// with Without, only the runs whose letters include none of its letters.
std::vector<TGoldenRun> Runs(const std::filesystem::path &Root, const char *First,
                             const char *Second, std::string_view Without) {
    std::vector<TGoldenRun> Runs;
    for (const auto &Folder : std::filesystem::directory_iterator(Root))
        for (const auto &File : std::filesystem::directory_iterator(Folder)) {
            const std::string Name = File.path().stem().string(); // expected[-LETTERS]
            const std::string Options = Name.substr(std::min<std::size_t>(Name.size(), 9));
            if (!Name.starts_with("expected") || File.path().extension() != ".txt" ||
                Options.find_first_of(Without) != std::string::npos)
                continue;
            std::vector<std::string> Patterns;
            std::ifstream PatternFile(Folder.path() / "patterns.txt");
            for (std::string Line; std::getline(PatternFile, Line);)
                Patterns.push_back(Line);
            Runs.push_back({Folder.path().filename().string(), Folder.path() / First,
                            Folder.path() / Second, Options, ReadWholeFile(File), Patterns});
        }
    std::sort(Runs.begin(), Runs.end(), [](const TGoldenRun &A, const TGoldenRun &B) {
        return std::tie(A.Case, A.Options) < std::tie(B.Case, B.Options);
    });
    return Runs;
}

} // namespace

std::vector<TGoldenRun> GoldenRuns(std::string_view Without) {
    return Runs(TARNWELL_TEST_DATA, "a.txt", "b.txt", Without);
}

std::vector<std::string> GoldenToolOptions(const TGoldenRun &Run) {
    std::vector<std::string> Options;
    std::string Letters;
    for (const char Letter : Run.Options)
        if (Letter == 'C')
            Options.push_back("--color=always");
        else if (Letter == 'x')
            for (const std::string &Pattern : Run.Patterns)
                Options.push_back("--ignore-text=" + Pattern);
        else if (Letter != 's')
            Letters += Letter;
    if (!Letters.empty())
        Options.push_back("-" + Letters);
    return Options;
}

std::vector<TGoldenRun> GoldenTreeRuns() {
    return Runs(TARNWELL_TEST_DATA "/trees", "old", "new", {});
}

TCompareRequest GoldenRequest(const TGoldenRun &Run) {
    return {.FileName1 = Run.First.string(),
            .FileName2 = Run.Has('s') ? "-" : Run.Second.string(),
            .OnlyDifferences = Run.Has('d'),
            .IgnoreBigNumbers = Run.Has('n'),
            .IgnoreCase = Run.Has('i'),
            .IgnoreWhiteSpace = Run.Has('w'),
            .IgnoreText = Run.Has('x') ? Run.Patterns : std::vector<std::string>()};
}

TUnifiedOptions GoldenUnifiedOptions() {
    const std::string Epoch(UnifiedEpochTime);
    return {.First = {.Name = "a.txt", .Time = Epoch}, .Second = {.Name = "b.txt", .Time = Epoch}};
}

std::string GoldenRowName(const testing::TestParamInfo<TGoldenRun> &Row) {
    std::string Name = Row.param.Case + (Row.param.Options.empty() ? "" : "_" + Row.param.Options);
    std::replace(Name.begin(), Name.end(), '-', '_');
    return Name;
}

void PrintTo(const TGoldenRun &Run, std::ostream *Out) {
    *Out << Run.Case << (Run.Options.empty() ? "" : " -" + Run.Options);
}
